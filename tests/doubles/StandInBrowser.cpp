// A stand-in for the platform's web browser control, for the end-to-end journey and the demo on Linux, where Wine's
// own control has no HTML engine. Registered under the WebBrowser class identifier in those prefixes only, it offers
// what the client uses of the real control and no more: creation and in-place activation in its site, Navigate (104)
// and Refresh (-550), the BeforeNavigate2, NavigateComplete2 and NavigateError events, a look at the site's UI handler,
// and the question the real control asks its site before it shows a script error. It fetches every address from the
// test site named by LUMORA_STANDIN_SITE (host:port on the loopback interface), whatever host the address names,
// keeping path and query and sending the real host name along; it follows redirects and
// <meta http-equiv="refresh">, and reports the address it ended on as the address names it. A fetch that fails (no
// connection, or an HTTP error) fires NavigateError, and only a navigation the host does not cancel shows the
// control's own "could not be fetched" page. A res: address shows the page of that HTML resource of that module,
// whose link with the id "retry" leads where the page's own script would point it (the address in its fragment). A
// page with a <script> is taken to have a script error, which the control asks its site about: a site that does not
// answer "go on" gets a "Script Error" window, as from the real control. Its window shows the page's title, its
// loads and the script errors its site answered, and a button for each link of the page; a click navigates there.
#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <ole2.h>
#include <olectl.h>
#include <wininet.h>

#include <docobj.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/doubles/ErrorDocument.h"
#include "webwnd/core/OfflinePage.h"

namespace
{

const CLSID kWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const wchar_t kWindowClass[] = L"LumoraStandInBrowser";
const UINT WM_STANDIN_NAVIGATE = WM_APP + 40;

HMODULE g_module = nullptr;
LONG g_objects = 0;

struct Link
{
    std::wstring text;
    std::wstring href;
};

struct Page
{
    bool fetched = false;
    long status = 0;      // why it was not: an HTTP status of 400 or more, or an INET_E_ code
    std::wstring address; // where it ended, as the address names it
    std::wstring title;
    std::vector<Link> links;
    std::wstring refresh; // a meta refresh's target, if the page has one
    bool script = false;  // the page has a script, taken to fail
};

// The real control's codes for a server it cannot connect to.
const long kCannotConnect = static_cast<long>(0x800C0004); // INET_E_CANNOT_CONNECT

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

// scheme://host[:port]/rest split into host (with port) and rest ("/" at least).
bool SplitAddress(const std::wstring& address, std::wstring& scheme, std::wstring& host, std::wstring& rest)
{
    const size_t colon = address.find(L"://");
    if (colon == std::wstring::npos)
        return false;
    scheme = address.substr(0, colon);
    const size_t start = colon + 3;
    const size_t slash = address.find_first_of(L"/?#", start);
    host = address.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
    rest = slash == std::wstring::npos ? L"/" : address.substr(slash);
    if (!rest.empty() && rest[0] != L'/')
        rest = L"/" + rest;
    return !host.empty();
}

// A link or a redirect target, made absolute against the address of the page it stands in.
std::wstring Resolve(const std::wstring& base, const std::wstring& target)
{
    if (target.find(L"://") != std::wstring::npos)
        return target;
    std::wstring scheme, host, rest;
    if (!SplitAddress(base, scheme, host, rest))
        return target;
    if (!target.empty() && target[0] == L'/')
        return scheme + L"://" + host + target;
    const size_t lastSlash = rest.find_last_of(L'/', rest.find_first_of(L"?#"));
    return scheme + L"://" + host + rest.substr(0, lastSlash + 1) + target;
}

std::string Between(const std::string& text, const std::string& open, const std::string& close, size_t& at)
{
    const size_t start = text.find(open, at);
    if (start == std::string::npos)
    {
        at = std::string::npos;
        return std::string();
    }
    const size_t end = text.find(close, start + open.size());
    at = end == std::string::npos ? std::string::npos : end + close.size();
    return text.substr(start + open.size(), end == std::string::npos ? std::string::npos : end - start - open.size());
}

// An attribute's value in a tag's text ("" when it has none).
std::string Attribute(const std::string& tag, const std::string& name)
{
    size_t at = 0;
    const size_t found = tag.find(" " + name + "=\"");
    if (found == std::string::npos)
        return std::string();
    at = found;
    return Between(tag, name + "=\"", "\"", at);
}

// The little HTML the test site and the client's own pages write: <title>, <a href="..." id="...">text</a>,
// <meta http-equiv="refresh" content="...">, <script>.
void ParsePage(const std::string& html, Page& page)
{
    size_t at = 0;
    page.title = Widen(Between(html, "<title>", "</title>", at));
    for (at = 0; at != std::string::npos;)
    {
        const std::string tag = Between(html, "<a ", ">", at);
        if (at == std::string::npos)
            break;
        const std::string text = Between(html, "", "</a>", at);
        std::wstring href = Resolve(page.address, Widen(Attribute(" " + tag, "href")));
        // What the client's own page's script does with its Retry link.
        if (Attribute(" " + tag, "id") == "retry")
            href = Widen(RetryTarget(Narrow(page.address)));
        page.links.push_back({Widen(text), href});
    }
    page.script = html.find("<script") != std::string::npos;
    at = 0;
    const std::string meta = Between(html, "<meta http-equiv=\"refresh\" content=\"", "\"", at);
    const size_t url = meta.find("url=");
    if (url != std::string::npos)
        page.refresh = Resolve(page.address, Widen(meta.substr(url + 4)));
}

// A res: address: res://<module>/<HTML resource name>[#fragment], the page of that resource of that module.
Page FetchResource(const std::wstring& address)
{
    Page page;
    page.address = address;
    const std::wstring path =
        address.substr(6, address.find(L'#') == std::wstring::npos ? std::wstring::npos : address.find(L'#') - 6);
    const size_t slash = path.find_last_of(L'/');
    if (slash == std::wstring::npos)
    {
        page.status = static_cast<long>(0x800C0005); // INET_E_RESOURCE_NOT_FOUND
        return page;
    }
    HMODULE module = ::LoadLibraryExW(path.substr(0, slash).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module ? ::FindResourceW(module, path.substr(slash + 1).c_str(), MAKEINTRESOURCEW(23)) : nullptr;
    if (resource)
    {
        const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, resource)));
        page.fetched = true;
        ParsePage(std::string(bytes, ::SizeofResource(module, resource)), page);
    }
    else
    {
        page.status = static_cast<long>(0x800C0005);
    }
    if (module)
        ::FreeLibrary(module);
    return page;
}

// Fetches address from the test site, following redirects, as the address names it.
Page Fetch(const std::wstring& address)
{
    if (address.compare(0, 6, L"res://") == 0)
        return FetchResource(address);
    Page page;
    page.address = address;
    page.status = kCannotConnect; // until the site answers
    wchar_t site[64] = {};
    if (!::GetEnvironmentVariableW(L"LUMORA_STANDIN_SITE", site, 64))
        return page;
    const std::wstring siteText(site);
    const size_t colon = siteText.find(L':');
    const std::wstring siteHost = siteText.substr(0, colon);
    const INTERNET_PORT sitePort =
        static_cast<INTERNET_PORT>(colon == std::wstring::npos ? 80 : _wtoi(siteText.c_str() + colon + 1));

    HINTERNET internet = ::InternetOpenW(L"Lumora stand-in browser", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!internet)
        return page;
    HINTERNET connection =
        ::InternetConnectW(internet, siteHost.c_str(), sitePort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    for (int hops = 0; connection && hops < 10; ++hops)
    {
        std::wstring scheme, host, rest;
        if (!SplitAddress(page.address, scheme, host, rest))
            break;
        HINTERNET request = ::HttpOpenRequestW(connection, L"GET", rest.c_str(), nullptr, nullptr, nullptr,
                                               INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD |
                                                   INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES,
                                               0);
        if (!request)
            break;
        const std::wstring headers = L"Host: " + host + L"\r\n";
        ::HttpAddRequestHeadersW(request, headers.c_str(), static_cast<DWORD>(-1),
                                 HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
        if (!::HttpSendRequestW(request, nullptr, 0, nullptr, 0))
        {
            ::InternetCloseHandle(request);
            break;
        }
        DWORD status = 0, size = sizeof status;
        if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
            status == 0)
        {
            ::InternetCloseHandle(request); // no answer: the connection went before one came
            break;
        }
        page.status = status >= 400 ? static_cast<long>(status) : 0;
        if (status >= 300 && status < 400)
        {
            wchar_t location[1024] = {};
            DWORD length = sizeof location;
            const bool moved = ::HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location, &length, nullptr) != FALSE;
            ::InternetCloseHandle(request);
            if (!moved)
                break;
            page.address = Resolve(page.address, location);
            continue;
        }
        std::string body;
        char buffer[4096];
        DWORD read = 0;
        while (::InternetReadFile(request, buffer, sizeof buffer, &read) && read)
            body.append(buffer, read);
        ::InternetCloseHandle(request);
        page.fetched = true;
        ParsePage(body, page);
        break;
    }
    if (connection)
        ::InternetCloseHandle(connection);
    ::InternetCloseHandle(internet);
    return page;
}

class CStandInBrowser;
CStandInBrowser* FromWindow(HWND hwnd)
{
    return reinterpret_cast<CStandInBrowser*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

class CStandInBrowser : public IOleObject,
                        public IOleInPlaceObject,
                        public IPersistStreamInit,
                        public IProvideClassInfo2,
                        public IConnectionPointContainer,
                        public IDispatch
{
public:
    CStandInBrowser() { ::InterlockedIncrement(&g_objects); }
    virtual ~CStandInBrowser()
    {
        Deactivate();
        if (m_site)
            m_site->Release();
        if (m_sink)
            m_sink->Release();
        ::InterlockedDecrement(&g_objects);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleObject)
            *ppv = static_cast<IOleObject*>(this);
        else if (iid == IID_IOleInPlaceObject || iid == IID_IOleWindow)
            *ppv = static_cast<IOleInPlaceObject*>(this);
        else if (iid == IID_IPersistStreamInit || iid == IID_IPersist)
            *ppv = static_cast<IPersistStreamInit*>(this);
        else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
            *ppv = static_cast<IProvideClassInfo2*>(this);
        else if (iid == IID_IConnectionPointContainer)
            *ppv = static_cast<IConnectionPointContainer*>(this);
        else if (iid == IID_IDispatch || iid == IID_IWebBrowser2 || iid == IID_IWebBrowserApp || iid == IID_IWebBrowser)
            *ppv = static_cast<IDispatch*>(this);
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_ref)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG ref = ::InterlockedDecrement(&m_ref);
        if (ref == 0)
            delete this;
        return static_cast<ULONG>(ref);
    }

    // IOleObject: the client site, activation in it, and no more.
    STDMETHODIMP SetClientSite(IOleClientSite* site) override
    {
        if (m_site)
            m_site->Release();
        m_site = site;
        if (!site)
            return S_OK;
        site->AddRef();
        // As the real control does: the host's UI handler, its information and its external object.
        IDocHostUIHandler* handler = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler))) && handler)
        {
            DOCHOSTUIINFO info = {};
            info.cbSize = sizeof info;
            if (SUCCEEDED(handler->GetHostInfo(&info)))
                m_hostFlags = info.dwFlags;
            IDispatch* external = nullptr;
            if (SUCCEEDED(handler->GetExternal(&external)) && external)
            {
                m_hasExternal = true;
                external->Release();
            }
            handler->Release();
        }
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** site) override
    {
        if (!site)
            return E_POINTER;
        *site = m_site;
        if (m_site)
            m_site->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override
    {
        Deactivate();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override
    {
        if (m_hwnd)
            return S_OK;
        IOleClientSite* use = site ? site : m_site;
        IOleInPlaceSite* inPlace = nullptr;
        if (!use || FAILED(use->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
            return E_UNEXPECTED;
        inPlace->OnInPlaceActivate();
        HWND host = parent;
        if (!host)
            inPlace->GetWindow(&host);
        inPlace->Release();
        const RECT place = rect ? *rect : RECT{0, 0, 300, 200};
        m_hwnd =
            ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, host, nullptr, g_module, nullptr);
        if (!m_hwnd)
            return E_FAIL;
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        return S_OK;
    }
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override
    {
        *clsid = kWebBrowser;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override
    {
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        *hwnd = m_hwnd;
        return m_hwnd ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override
    {
        Deactivate();
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT) override
    {
        if (m_hwnd && pos)
            ::MoveWindow(m_hwnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IPersistStreamInit: the template's persisted properties are taken and ignored.
    STDMETHODIMP GetClassID(CLSID* clsid) override { return GetUserClassID(clsid); }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM) override { return S_OK; }
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override { return S_OK; }

    // IProvideClassInfo2: the events are the real control's.
    STDMETHODIMP GetClassInfo(ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override
    {
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID || !guid)
            return E_INVALIDARG;
        *guid = DIID_DWebBrowserEvents2;
        return S_OK;
    }

    // IConnectionPointContainer and its one connection point, for DWebBrowserEvents2 with one sink.
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        if (!point)
            return E_POINTER;
        *point = nullptr;
        if (iid != DIID_DWebBrowserEvents2)
            return CONNECT_E_NOCONNECTION;
        *point = &m_point;
        AddRef();
        return S_OK;
    }

    // IDispatch: Navigate and Refresh by dispatch identifier.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (dispid == 104) // Navigate(address, flags, target frame, post data, headers)
        {
            if (!params || params->cArgs < 1)
                return DISP_E_BADPARAMCOUNT;
            const VARIANT& first = params->rgvarg[params->cArgs - 1];
            const VARIANT* address = first.vt == (VT_BYREF | VT_VARIANT) ? first.pvarVal : &first;
            if (!address || address->vt != VT_BSTR)
                return DISP_E_TYPEMISMATCH;
            NavigateLater(address->bstrVal ? address->bstrVal : L"");
            return S_OK;
        }
        if (dispid == DISPID_REFRESH)
        {
            if (m_current.empty())
                return E_FAIL;
            NavigateLater(m_current);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    // The window's messages.
    void OnNavigate()
    {
        if (m_pending.empty())
            return;
        std::wstring address;
        address.swap(m_pending);
        Navigate(address);
    }
    void OnClick(size_t index)
    {
        if (index < m_page.links.size())
            NavigateLater(m_page.links[index].href);
    }

private:
    // Navigations start from the message loop, as the real control's do: never inside the caller's call.
    void NavigateLater(const std::wstring& address)
    {
        m_pending = address;
        if (m_hwnd)
            ::PostMessageW(m_hwnd, WM_STANDIN_NAVIGATE, 0, 0);
    }

    void Navigate(const std::wstring& address)
    {
        AddRef(); // a handler may tear the control down meanwhile
        VARIANT_BOOL cancel = VARIANT_FALSE;
        FireBeforeNavigate2(address, cancel);
        if (cancel == VARIANT_FALSE && m_hwnd)
        {
            Page page = Fetch(address);
            // A host that cancels the error keeps the page shown before, and is told of no completed navigation.
            cancel = VARIANT_FALSE;
            if (page.status != 0)
                FireNavigateError(page.address, page.status, cancel);
            if (cancel == VARIANT_FALSE && m_hwnd)
            {
                m_current = page.address;
                ++m_loads;
                m_page = std::move(page);
                Show();
                FireNavigateComplete2(m_current);
                if (m_page.script)
                    AskAboutScriptError();
                if (!m_page.refresh.empty())
                    NavigateLater(m_page.refresh);
            }
        }
        Release();
    }

    void FireNavigateError(const std::wstring& address, long status, VARIANT_BOOL& cancel)
    {
        if (!m_sink)
            return;
        VARIANT url, frame, code;
        for (VARIANT* v : {&url, &frame, &code})
            ::VariantInit(v);
        url.vt = VT_BSTR;
        url.bstrVal = ::SysAllocString(address.c_str());
        code.vt = VT_I4;
        code.lVal = status;
        VARIANT args[5];
        VARIANT* refs[3] = {&url, &frame, &code};
        // Arguments last first: cancel, status, frame, url, browser.
        args[0].vt = VT_BYREF | VT_BOOL;
        args[0].pboolVal = &cancel;
        for (int i = 0; i < 3; ++i)
        {
            args[3 - i].vt = VT_BYREF | VT_VARIANT;
            args[3 - i].pvarVal = refs[i];
        }
        args[4].vt = VT_DISPATCH;
        args[4].pdispVal = static_cast<IDispatch*>(this);
        DISPPARAMS params = {args, nullptr, 5, 0};
        IDispatch* sink = m_sink;
        sink->AddRef();
        sink->Invoke(DISPID_NAVIGATEERROR, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                     nullptr);
        sink->Release();
        ::VariantClear(&url);
    }

    // The real control asks its site's command target before it shows a script error; without the answer "go on"
    // (S_OK and VT_BOOL true) it shows its dialog, here a window titled "Script Error".
    void AskAboutScriptError()
    {
        // {F38BC242-B950-11D1-8918-00C04FC2C836}: CGID_DocHostCommandHandler
        const GUID commands = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
        IOleCommandTarget* target = nullptr;
        HRESULT hr = E_NOINTERFACE;
        VARIANT in, out;
        ::VariantInit(&in);
        ::VariantInit(&out);
        in.vt = VT_UNKNOWN;
        in.punkVal = &m_errorDocument;
        if (m_site && SUCCEEDED(m_site->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&target))))
        {
            hr = target->Exec(&commands, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out);
            target->Release();
        }
        if (hr == S_OK && out.vt == VT_BOOL && out.boolVal == VARIANT_TRUE)
        {
            ++m_scriptErrorsAnswered;
            ShowText(); // the page's links stay the windows they are: a click on one may be on its way
        }
        else
        {
            ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"Script Error", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100,
                              300, 120, nullptr, nullptr, g_module, nullptr);
        }
        ::VariantClear(&out);
    }

    void FireBeforeNavigate2(const std::wstring& address, VARIANT_BOOL& cancel)
    {
        if (!m_sink)
            return;
        VARIANT url, flags, target, postData, headers;
        for (VARIANT* v : {&url, &flags, &target, &postData, &headers})
            ::VariantInit(v);
        url.vt = VT_BSTR;
        url.bstrVal = ::SysAllocString(address.c_str());
        VARIANT args[7];
        VARIANT* refs[5] = {&url, &flags, &target, &postData, &headers};
        // Arguments last first: cancel, headers, post data, target, flags, url, browser.
        args[0].vt = VT_BYREF | VT_BOOL;
        args[0].pboolVal = &cancel;
        for (int i = 0; i < 5; ++i)
        {
            args[5 - i].vt = VT_BYREF | VT_VARIANT;
            args[5 - i].pvarVal = refs[i];
        }
        args[6].vt = VT_DISPATCH;
        args[6].pdispVal = static_cast<IDispatch*>(this);
        DISPPARAMS params = {args, nullptr, 7, 0};
        IDispatch* sink = m_sink;
        sink->AddRef();
        sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                     nullptr);
        sink->Release();
        ::VariantClear(&url);
    }

    void FireNavigateComplete2(const std::wstring& address)
    {
        if (!m_sink)
            return;
        VARIANT url;
        ::VariantInit(&url);
        url.vt = VT_BSTR;
        url.bstrVal = ::SysAllocString(address.c_str());
        VARIANT args[2];
        args[0].vt = VT_BYREF | VT_VARIANT;
        args[0].pvarVal = &url;
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = static_cast<IDispatch*>(this);
        DISPPARAMS params = {args, nullptr, 2, 0};
        IDispatch* sink = m_sink;
        sink->AddRef();
        sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
        sink->Release();
        ::VariantClear(&url);
    }

    // The page in the window: its title (with how many loads the control has made), then a button per link.
    std::wstring Caption() const
    {
        return m_page.fetched ? m_page.title : L"(" + m_current + L" could not be fetched)";
    }

    // The window's text: the page's title, the loads so far and the script errors the site answered.
    void ShowText()
    {
        ::SetWindowTextW(m_hwnd, (Caption() + L" [" + std::to_wstring(m_loads) + L"; script errors answered: " +
                                  std::to_wstring(m_scriptErrorsAnswered) + L"]")
                                     .c_str());
    }

    void Show()
    {
        if (!m_hwnd)
            return;
        for (HWND child; (child = ::GetWindow(m_hwnd, GW_CHILD)) != nullptr;)
            ::DestroyWindow(child);
        const std::wstring caption = Caption();
        ShowText();
        if (!m_font)
            // Any face that has the Chinese characters of the test site's pages.
            m_font = ::CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"");
        HWND title = ::CreateWindowExW(0, L"STATIC", caption.c_str(), WS_CHILD | WS_VISIBLE, 16, 16, 480, 24, m_hwnd,
                                       nullptr, g_module, nullptr);
        ::SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        int y = 56;
        for (size_t i = 0; i < m_page.links.size(); ++i, y += 36)
        {
            HWND link = ::CreateWindowExW(0, L"BUTTON", m_page.links[i].text.c_str(),
                                          WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 16, y, 320, 28, m_hwnd,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), g_module, nullptr);
            ::SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        }
        ::InvalidateRect(m_hwnd, nullptr, TRUE);
    }

    void Deactivate()
    {
        if (m_hwnd)
        {
            ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
            ::DestroyWindow(m_hwnd);
            m_hwnd = nullptr;
        }
        if (m_font) // after the windows that used it
            ::DeleteObject(m_font);
        m_font = nullptr;
    }

    // The one connection point, for DWebBrowserEvents2 with one sink; it counts with the control.
    class CPoint : public IConnectionPoint
    {
    public:
        explicit CPoint(CStandInBrowser* owner) : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
        {
            *ppv = nullptr;
            if (iid != IID_IUnknown && iid != IID_IConnectionPoint)
                return E_NOINTERFACE;
            *ppv = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return m_owner->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_owner->Release(); }
        STDMETHODIMP GetConnectionInterface(IID* iid) override
        {
            *iid = DIID_DWebBrowserEvents2;
            return S_OK;
        }
        STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override
        {
            *container = static_cast<IConnectionPointContainer*>(m_owner);
            m_owner->AddRef();
            return S_OK;
        }
        STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override
        {
            if (m_owner->m_sink || !sink || !cookie)
                return CONNECT_E_ADVISELIMIT;
            if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_owner->m_sink))))
                return CONNECT_E_CANNOTCONNECT;
            *cookie = 1;
            return S_OK;
        }
        STDMETHODIMP Unadvise(DWORD cookie) override
        {
            if (cookie != 1 || !m_owner->m_sink)
                return CONNECT_E_NOCONNECTION;
            m_owner->m_sink->Release();
            m_owner->m_sink = nullptr;
            return S_OK;
        }
        STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    private:
        CStandInBrowser* m_owner;
    };

    LONG m_ref = 1;
    CPoint m_point{this};
    IOleClientSite* m_site = nullptr;
    IDispatch* m_sink = nullptr;
    HWND m_hwnd = nullptr;
    HFONT m_font = nullptr;
    DWORD m_hostFlags = 0;
    bool m_hasExternal = false;
    std::wstring m_pending;
    std::wstring m_current;
    int m_loads = 0;
    int m_scriptErrorsAnswered = 0;
    Page m_page;
    CErrorDocument m_errorDocument{L"'advert' is undefined", 1, 1, L"http://ads.lumora.example/a.js"};
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CStandInBrowser* browser = FromWindow(hwnd);
    if (browser && msg == WM_STANDIN_NAVIGATE)
    {
        browser->OnNavigate();
        return 0;
    }
    if (browser && msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= 100)
    {
        browser->OnClick(LOWORD(wParam) - 100);
        return 0;
    }
    if (msg == WM_ERASEBKGND)
    {
        RECT client;
        ::GetClientRect(hwnd, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        return TRUE;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

class CFactory : public IClassFactory
{
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        *ppv = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override
    {
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        WNDCLASSW wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = g_module;
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = kWindowClass;
        ::RegisterClassW(&wc); // fails harmlessly the second time
        CStandInBrowser* browser = new CStandInBrowser;
        const HRESULT hr = browser->QueryInterface(iid, ppv);
        browser->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
} g_factory;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv)
{
    if (clsid != kWebBrowser)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return g_objects == 0 ? S_OK : S_FALSE;
}
