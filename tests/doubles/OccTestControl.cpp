#include "tests/doubles/OccTestControl.h"

namespace occtest
{

const CLSID kFullControl = {0x6f1c2b9e, 0x4d3a, 0x4e8f, {0x9a, 0x51, 0x2c, 0x7b, 0x3e, 0x0d, 0x1f, 0x42}};
const CLSID kTypeInfoControl = {0x6f1c2b9e, 0x4d3a, 0x4e8f, {0x9a, 0x51, 0x2c, 0x7b, 0x3e, 0x0d, 0x1f, 0x43}};
const IID kEventsIid = {0x0b7e5a61, 0x2f44, 0x4c1d, {0x8e, 0x3a, 0x51, 0x6d, 0x2c, 0x90, 0x7f, 0x11}};
const IID kHostHookIid = {0x0b7e5a61, 0x2f44, 0x4c1d, {0x8e, 0x3a, 0x51, 0x6d, 0x2c, 0x90, 0x7f, 0x12}};

namespace
{

CTestControl* g_lastControl = nullptr;
const wchar_t kWindowClass[] = L"LumoraOccTestControl";

void Note(const std::string& entry)
{
    ControlLog().push_back(entry);
}

// Type information of the control's class, as much as a container reads to find the default event interface:
// a coclass whose implemented interfaces are IDispatch (default) and kEventsIid (default source), each a
// dispinterface. Everything else is refused.
class CTestTypeInfo : public ITypeInfo
{
public:
    CTestTypeInfo(TYPEKIND kind, const GUID& guid) : m_kind(kind), m_guid(guid) {}
    virtual ~CTestTypeInfo() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        *ppv = nullptr;
        if (iid != IID_IUnknown && iid != IID_ITypeInfo)
            return E_NOINTERFACE;
        *ppv = static_cast<ITypeInfo*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_ref); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG ref = --m_ref;
        if (ref == 0)
            delete this;
        return static_cast<ULONG>(ref);
    }

    STDMETHODIMP GetTypeAttr(TYPEATTR** attr) override
    {
        TYPEATTR* result = new TYPEATTR();
        result->guid = m_guid;
        result->typekind = m_kind;
        result->cImplTypes = m_kind == TKIND_COCLASS ? 2 : 0;
        *attr = result;
        return S_OK;
    }
    STDMETHODIMP GetImplTypeFlags(UINT index, INT* flags) override
    {
        if (m_kind != TKIND_COCLASS || index > 1)
            return TYPE_E_ELEMENTNOTFOUND;
        *flags = index == 0 ? IMPLTYPEFLAG_FDEFAULT : IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
        return S_OK;
    }
    STDMETHODIMP GetRefTypeOfImplType(UINT index, HREFTYPE* ref) override
    {
        if (m_kind != TKIND_COCLASS || index > 1)
            return TYPE_E_ELEMENTNOTFOUND;
        *ref = index + 1;
        return S_OK;
    }
    STDMETHODIMP GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) override
    {
        if (m_kind != TKIND_COCLASS || ref < 1 || ref > 2)
            return TYPE_E_ELEMENTNOTFOUND;
        *info = new CTestTypeInfo(TKIND_DISPATCH, ref == 1 ? IID_IDispatch : kEventsIid);
        return S_OK;
    }
    void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attr) override { delete attr; }

    STDMETHODIMP GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
    STDMETHODIMP GetFuncDesc(UINT, FUNCDESC**) override { return E_NOTIMPL; }
    STDMETHODIMP GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
    STDMETHODIMP GetNames(MEMBERID, BSTR*, UINT, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetDocumentation(MEMBERID, BSTR*, BSTR*, DWORD*, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
    STDMETHODIMP AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC*) override {}
    void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

private:
    LONG m_ref = 1;
    TYPEKIND m_kind;
    GUID m_guid;
};

// Makes the controls of one class; lives in static storage, so it does not count.
class CFactory : public IClassFactory
{
public:
    CFactory(bool classInfo2, bool siteFirst) : m_classInfo2(classInfo2), m_siteFirst(siteFirst) {}

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
        CTestControl* control = new CTestControl(m_classInfo2, m_siteFirst);
        const HRESULT hr = control->QueryInterface(iid, ppv);
        control->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

    DWORD m_cookie = 0;

private:
    bool m_classInfo2;
    bool m_siteFirst;
};

CFactory g_fullFactory(true, true);
CFactory g_typeInfoFactory(false, false);
// The full control again, in the web browser's place.
CFactory g_browserFactory(true, true);
bool g_refuseNavigate = false;

std::string PointerName(const void* p)
{
    return p ? "site" : "null";
}

} // namespace

std::vector<std::string>& ControlLog()
{
    static std::vector<std::string> log;
    return log;
}

CTestControl* LastControl()
{
    return g_lastControl;
}

HRESULT RegisterControls()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::RegisterClassW(&windowClass);

    HRESULT hr = ::CoRegisterClassObject(kFullControl, &g_fullFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                         &g_fullFactory.m_cookie);
    if (FAILED(hr))
        return hr;
    return ::CoRegisterClassObject(kTypeInfoControl, &g_typeInfoFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                   &g_typeInfoFactory.m_cookie);
}

void RevokeControls()
{
    ::CoRevokeClassObject(g_fullFactory.m_cookie);
    ::CoRevokeClassObject(g_typeInfoFactory.m_cookie);
}

HRESULT RegisterAsBrowser(bool refusing)
{
    // {8856F961-340A-11D0-A96B-00C04FD705A2}
    const CLSID webBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
    g_refuseNavigate = refusing;
    return ::CoRegisterClassObject(webBrowser, &g_browserFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                   &g_browserFactory.m_cookie);
}

void RevokeBrowser()
{
    ::CoRevokeClassObject(g_browserFactory.m_cookie);
    g_refuseNavigate = false;
}

CTestControl::CTestControl(bool classInfo2, bool siteFirst) : m_classInfo2(classInfo2), m_siteFirst(siteFirst)
{
    g_lastControl = this;
}

CTestControl::~CTestControl()
{
    Note("destroyed");
    if (g_lastControl == this)
        g_lastControl = nullptr;
    // A container that forgot a step leaves these; the log shows it, the references go anyway.
    if (m_sink)
        m_sink->Release();
    if (m_clientSite)
        m_clientSite->Release();
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

STDMETHODIMP CTestControl::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject)
        *ppv = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *ppv = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        *ppv = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        *ppv = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IProvideClassInfo || (iid == IID_IProvideClassInfo2 && m_classInfo2))
        *ppv = static_cast<IProvideClassInfo2*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IDispatch)
        *ppv = static_cast<IDispatch*>(this);
    if (!*ppv)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CTestControl::AddRef()
{
    return static_cast<ULONG>(++m_ref);
}

STDMETHODIMP_(ULONG) CTestControl::Release()
{
    const LONG ref = --m_ref;
    if (ref == 0)
        delete this;
    return static_cast<ULONG>(ref);
}

STDMETHODIMP CTestControl::SetClientSite(IOleClientSite* site)
{
    Note("SetClientSite(" + PointerName(site) + ")");
    if (site)
        site->AddRef();
    if (m_clientSite)
        m_clientSite->Release();
    m_clientSite = site;
    if (!site)
        return S_OK;

    // A control with wishes of its container asks the site for them.
    ITestHostHook* hook = nullptr;
    m_hookResult = site->QueryInterface(kHostHookIid, reinterpret_cast<void**>(&hook));
    if (SUCCEEDED(m_hookResult))
    {
        hook->Ping(20, &m_hookAnswer);
        hook->Release();
    }
    return S_OK;
}

STDMETHODIMP CTestControl::GetClientSite(IOleClientSite** site)
{
    *site = m_clientSite;
    if (m_clientSite)
        m_clientSite->AddRef();
    return S_OK;
}

STDMETHODIMP CTestControl::Close(DWORD saveOption)
{
    Note("Close(" + std::to_string(saveOption) + ")");
    return S_OK;
}

STDMETHODIMP CTestControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT)
{
    Note("DoVerb(" + std::to_string(verb) + ")");
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW)
        return OLEOBJ_S_INVALIDVERB;
    return Activate(site ? site : m_clientSite, parent);
}

HRESULT CTestControl::Activate(IOleClientSite* site, HWND parent)
{
    if (m_hwnd)
        return S_OK;
    if (!site)
        return E_UNEXPECTED;
    HRESULT hr = site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&m_inPlaceSite));
    if (FAILED(hr))
        return hr;
    if (m_inPlaceSite->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    m_inPlaceSite->OnInPlaceActivate();
    RECT clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {sizeof frameInfo, FALSE, nullptr, nullptr, 0};
    if (FAILED(hr = m_inPlaceSite->GetWindowContext(&m_frame, &m_document, &m_posRect, &clip, &frameInfo)))
        return hr;
    m_frameWindow = frameInfo.hwndFrame;
    HWND siteWindow = nullptr;
    if (FAILED(hr = m_inPlaceSite->GetWindow(&siteWindow)))
        return hr;
    if (parent && parent != siteWindow)
        return E_INVALIDARG;
    m_hwnd = ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE, m_posRect.left, m_posRect.top,
                               m_posRect.right - m_posRect.left, m_posRect.bottom - m_posRect.top, siteWindow, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd)
        return E_FAIL;
    m_inner = ::CreateWindowExW(0, L"STATIC", L"inner", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_hwnd, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    return S_OK;
}

STDMETHODIMP CTestControl::GetUserClassID(CLSID* clsid)
{
    *clsid = m_classInfo2 ? kFullControl : kTypeInfoControl;
    return S_OK;
}

STDMETHODIMP CTestControl::GetMiscStatus(DWORD, DWORD* status)
{
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE;
    if (m_siteFirst)
        *status |= OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
}

STDMETHODIMP CTestControl::GetWindow(HWND* hwnd)
{
    *hwnd = m_hwnd;
    return m_hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP CTestControl::InPlaceDeactivate()
{
    Note("InPlaceDeactivate");
    if (!m_inPlaceSite)
        return S_OK;
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    m_inner = nullptr;
    m_inPlaceSite->OnInPlaceDeactivate();
    if (m_frame)
        m_frame->Release();
    if (m_document)
        m_document->Release();
    m_inPlaceSite->Release();
    m_frame = nullptr;
    m_document = nullptr;
    m_inPlaceSite = nullptr;
    return S_OK;
}

STDMETHODIMP CTestControl::SetObjectRects(LPCRECT pos, LPCRECT)
{
    ++m_objectRectsCalls;
    m_lastObjectRects = *pos;
    if (m_hwnd)
        ::MoveWindow(m_hwnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

STDMETHODIMP CTestControl::TranslateAccelerator(LPMSG msg)
{
    Note("TranslateAccelerator(" + std::to_string(msg->wParam) + ")");
    return msg->message == WM_KEYDOWN && msg->wParam == VK_F5 ? S_OK : S_FALSE;
}

STDMETHODIMP CTestControl::InitNew()
{
    Note("InitNew");
    return S_OK;
}

STDMETHODIMP CTestControl::GetClassInfo(ITypeInfo** info)
{
    GUID clsid;
    GetUserClassID(&clsid);
    *info = new CTestTypeInfo(TKIND_COCLASS, clsid);
    return S_OK;
}

STDMETHODIMP CTestControl::GetGUID(DWORD kind, GUID* guid)
{
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
        return E_INVALIDARG;
    *guid = kEventsIid;
    return S_OK;
}

STDMETHODIMP CTestControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    *point = nullptr;
    if (iid != kEventsIid)
        return CONNECT_E_NOCONNECTION;
    *point = &m_point;
    m_point.AddRef();
    return S_OK;
}

STDMETHODIMP CTestControl::CPoint::QueryInterface(REFIID iid, void** ppv)
{
    *ppv = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint)
        return E_NOINTERFACE;
    *ppv = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CTestControl::CPoint::GetConnectionInterface(IID* iid)
{
    *iid = kEventsIid;
    return S_OK;
}

STDMETHODIMP CTestControl::CPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    *container = m_owner;
    m_owner->AddRef();
    return S_OK;
}

STDMETHODIMP CTestControl::CPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    Note("Advise");
    if (m_owner->m_sink)
        return CONNECT_E_ADVISELIMIT;
    // As event sources do: the sink is asked for the event interface itself.
    const HRESULT hr = sink->QueryInterface(kEventsIid, reinterpret_cast<void**>(&m_owner->m_sink));
    if (FAILED(hr))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = 1;
    return S_OK;
}

STDMETHODIMP CTestControl::CPoint::Unadvise(DWORD cookie)
{
    Note("Unadvise");
    if (cookie != 1 || !m_owner->m_sink)
        return CONNECT_E_NOCONNECTION;
    m_owner->m_sink->Release();
    m_owner->m_sink = nullptr;
    return S_OK;
}

HRESULT CTestControl::Fire(DISPID dispid, std::vector<VARIANT> args)
{
    if (!m_sink)
        return S_FALSE;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    // The sink may tear this control down while it handles the event.
    AddRef();
    IDispatch* sink = m_sink;
    if (m_holdSinkWhileFiring)
        sink->AddRef();
    const HRESULT hr =
        sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    Note("fired");
    if (m_holdSinkWhileFiring)
        sink->Release();
    Release();
    return hr;
}

HRESULT CTestControl::Ambient(DISPID dispid, VARIANT* value)
{
    if (!m_clientSite)
        return E_UNEXPECTED;
    IDispatch* ambient = nullptr;
    HRESULT hr = m_clientSite->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient));
    if (FAILED(hr))
        return hr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    hr = ambient->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
    ambient->Release();
    return hr;
}

STDMETHODIMP CTestControl::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

STDMETHODIMP CTestControl::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO* exception, UINT*)
{
    CReceivedCall call;
    call.dispid = dispid;
    call.flags = flags;
    call.namedCount = params->cNamedArgs;
    call.firstNamed = params->cNamedArgs ? params->rgdispidNamedArgs[0] : 0;
    for (UINT i = params->cArgs; i-- > 0;)
    {
        const VARIANT& v = params->rgvarg[i];
        CReceivedArg arg;
        arg.vt = v.vt;
        if (v.vt == VT_BSTR)
            arg.text = v.bstrVal ? v.bstrVal : L"";
        else if (v.vt == VT_I4)
            arg.number = v.lVal;
        else if (v.vt == (VT_BYREF | VT_VARIANT))
        {
            arg.ref = v.pvarVal;
            // What it held, for a test that looks after the call has returned.
            if (v.pvarVal && v.pvarVal->vt == VT_I4)
                arg.number = v.pvarVal->lVal;
        }
        call.args.push_back(arg);
    }
    m_lastCall = call;

    switch (dispid)
    {
    case kDispValue:
        if (flags & DISPATCH_PROPERTYPUT)
        {
            if (params->cArgs != 1 || call.namedCount != 1 || call.firstNamed != DISPID_PROPERTYPUT ||
                params->rgvarg[0].vt != VT_I4)
                return DISP_E_BADPARAMCOUNT;
            m_value = params->rgvarg[0].lVal;
            return S_OK;
        }
        if (!result)
            return E_POINTER;
        ::VariantInit(result);
        result->vt = VT_I4;
        result->lVal = m_value;
        return S_OK;
    case kDispTouch:
    {
        if (params->cArgs != 1 || params->rgvarg[0].vt != (VT_BYREF | VT_VARIANT))
            return DISP_E_TYPEMISMATCH;
        VARIANT* target = params->rgvarg[0].pvarVal;
        VARIANT number;
        ::VariantInit(&number);
        if (FAILED(::VariantChangeType(&number, target, 0, VT_I4)))
            number.lVal = 0;
        ::VariantClear(target);
        target->vt = VT_I4;
        target->lVal = number.lVal + 1;
        return S_OK;
    }
    case kDispName:
        if (!result)
            return E_POINTER;
        ::VariantInit(result);
        result->vt = VT_BSTR;
        result->bstrVal = ::SysAllocString(L"测试");
        return S_OK;
    case kDispFail:
        if (exception)
        {
            *exception = EXCEPINFO();
            exception->scode = E_ACCESSDENIED;
            exception->bstrDescription = ::SysAllocString(L"denied");
            exception->bstrSource = ::SysAllocString(L"test control");
        }
        return DISP_E_EXCEPTION;
    case kDispNavigate:
        if (g_refuseNavigate)
        {
            if (exception)
            {
                *exception = EXCEPINFO();
                exception->scode = E_ACCESSDENIED;
                exception->bstrDescription = ::SysAllocString(L"refused");
            }
            return DISP_E_EXCEPTION;
        }
        return S_OK;
    case DISPID_REFRESH:
        if (g_refuseNavigate)
        {
            if (exception)
            {
                *exception = EXCEPINFO();
                exception->scode = E_ACCESSDENIED;
                exception->bstrDescription = ::SysAllocString(L"refused");
            }
            return DISP_E_EXCEPTION;
        }
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

} // namespace occtest
