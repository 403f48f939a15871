// The browser host and the web window's commands in the test's own process: the UI handler the real browser control
// gets from the client's site, navigation events through the control's own event connection, the sound switch and
// its settings, minimising, and the cache purge over the real WinINet cache.
#include "tests/support/WindowFixture.h"

#include <windows.h>

#include <exdisp.h>
#include <wininet.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "config/core/ZoIni.h"
#include "framework/ComPtr.h"
#include "framework/OccSite.h"
#include "framework/WinApp.h"
#include "host/CustomControlSite.h"
#include "res/resource.h"
#include "tests/doubles/ErrorDocument.h"

namespace
{

// Finds the first visible window of a thread with the given caption, lets act() work on it, and stops.
class CDialogDriver
{
public:
    using Action = void (*)(HWND dialog, void* context);
    // thread: the one whose windows are searched (default: the caller's).
    CDialogDriver(const wchar_t* caption, Action act, void* context, DWORD thread = ::GetCurrentThreadId())
        : m_thread(thread), m_caption(caption), m_act(act), m_context(context)
    {
        m_worker = std::thread([this] { Run(); });
    }
    ~CDialogDriver() { Join(); }
    bool Join()
    {
        if (m_worker.joinable())
            m_worker.join();
        return m_done;
    }

private:
    void Run()
    {
        for (int i = 0; i < 500 && !m_done; ++i)
        {
            ::EnumThreadWindows(m_thread, &CDialogDriver::Visit, reinterpret_cast<LPARAM>(this));
            ::Sleep(10);
        }
    }
    static BOOL CALLBACK Visit(HWND hwnd, LPARAM param)
    {
        auto* self = reinterpret_cast<CDialogDriver*>(param);
        wchar_t title[64] = {};
        ::GetWindowTextW(hwnd, title, 64);
        if (!::IsWindowVisible(hwnd) || self->m_caption != title)
            return TRUE;
        self->m_act(hwnd, self->m_context);
        self->m_done = true;
        return FALSE;
    }

    DWORD m_thread;
    std::wstring m_caption;
    Action m_act;
    void* m_context;
    std::atomic<bool> m_done{false};
    std::thread m_worker;
};

// Answers the message box the client shows (caption: this test program's name) with a button.
void Answer(HWND box, void* button)
{
    ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(reinterpret_cast<INT_PTR>(button)), 0);
}

std::wstring ApplicationName()
{
    return AfxWide(AfxGetApp()->m_strAppName.c_str());
}

// A window of the Flash player's class, three levels below the browser's window, that records the clicks it gets.
class CFlashStandIn
{
public:
    explicit CFlashStandIn(HWND browser)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &CFlashStandIn::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MacromediaFlashPlayerActiveX";
        ::RegisterClassW(&wc);
        m_first = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, browser, nullptr, nullptr, nullptr);
        // The browser's first child (its own windows, if it has any, come after).
        ::SetWindowPos(m_first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_second = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, m_first, nullptr, nullptr, nullptr);
        // Another child first, so that the search has to pick the player by its class.
        ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, m_second, nullptr, nullptr, nullptr);
        m_flash =
            ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 10, 10, m_second, nullptr, nullptr, nullptr);
        ::SetWindowPos(m_flash, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ~CFlashStandIn() { ::DestroyWindow(m_first); }

    struct Click
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    static std::vector<Click>& Clicks()
    {
        static std::vector<Click> clicks;
        return clicks;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP)
            Clicks().push_back({msg, wParam, lParam});
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    HWND m_first, m_second, m_flash;
};

class WebCommands : public GameWindow
{
protected:
    void Command(int id) { ::SendMessageW(Web(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    CComPtr<IDocHostUIHandler> Handler()
    {
        CComPtr<IDocHostUIHandler> handler;
        COleControlSite* site = Dialog().m_browser.ControlSite();
        if (site)
            site->ExternalQueryInterface(IID_IDocHostUIHandler, handler.ReceiveVoid());
        return handler;
    }
    // The sink the browser control calls with its events, connected to its default event interface.
    CComPtr<IDispatch> BrowserEventSink()
    {
        COleControlSite* site = Dialog().m_browser.ControlSite();
        if (!site || site->EventInterface() != DIID_DWebBrowserEvents2)
            return CComPtr<IDispatch>();
        return CComPtr<IDispatch>::Share(site->EventSink());
    }
    // NavigateComplete2 as the control fires it: the browser, then the address as a variant by reference. What the
    // navigation watch posted for it (0: nothing), which is then handled.
    UINT Complete(VARIANT& address)
    {
        CComPtr<IDispatch> sink = BrowserEventSink();
        EXPECT_TRUE(sink);
        if (!sink)
            return 0;
        VARIANT args[2];
        ::VariantInit(&args[0]);
        args[0].vt = VT_BYREF | VT_VARIANT;
        args[0].pvarVal = &address;
        ::VariantInit(&args[1]);
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = nullptr;
        DISPPARAMS params = {args, nullptr, 2, 0};
        EXPECT_EQ(S_OK, sink->Invoke(252, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                     nullptr));
        MSG posted = {};
        const UINT message =
            ::PeekMessageW(&posted, Web(), WM_GAME_PAGE_LOADED, WM_WEB_PAGE_LOADED, PM_NOREMOVE) ? posted.message : 0;
        Pump();
        return message;
    }
    UINT Complete(const wchar_t* url)
    {
        VARIANT address;
        ::VariantInit(&address);
        address.vt = VT_BSTR;
        address.bstrVal = ::SysAllocString(url);
        const UINT message = Complete(address);
        ::VariantClear(&address);
        return message;
    }
};

} // namespace

TEST_F(WebCommands, TheBrowserGetsTheClientsUiHandler)
{
    ASSERT_NE(nullptr, dynamic_cast<CCustomControlSite*>(Dialog().m_browser.ControlSite()));
    CComPtr<IDocHostUIHandler> handler = Handler();
    ASSERT_TRUE(handler);

    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof info;
    info.dwDoubleClick = 7;
    ASSERT_EQ(S_OK, handler->GetHostInfo(&info));
    EXPECT_EQ(0xCu, info.dwFlags);
    EXPECT_EQ(0u, info.dwDoubleClick);
    EXPECT_EQ(sizeof info, info.cbSize);

    MSG msg = {};
    POINT point = {};
    LPOLESTR key = nullptr;
    IDropTarget* target = reinterpret_cast<IDropTarget*>(1);
    wchar_t url[] = L"http://a/";
    LPWSTR translated = nullptr;
    IDataObject* filtered = reinterpret_cast<IDataObject*>(1);
    struct Case
    {
        const char* method;
        HRESULT result;
        HRESULT expected;
    } const cases[] = {
        {"ShowContextMenu", handler->ShowContextMenu(0, &point, nullptr, nullptr), S_OK},
        {"ShowUI", handler->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK},
        {"HideUI", handler->HideUI(), S_OK},
        {"UpdateUI", handler->UpdateUI(), S_OK},
        {"EnableModeless", handler->EnableModeless(TRUE), E_NOTIMPL},
        {"OnDocWindowActivate", handler->OnDocWindowActivate(TRUE), E_NOTIMPL},
        {"OnFrameWindowActivate", handler->OnFrameWindowActivate(TRUE), E_NOTIMPL},
        {"ResizeBorder", handler->ResizeBorder(nullptr, nullptr, TRUE), E_NOTIMPL},
        {"TranslateAccelerator", handler->TranslateAccelerator(&msg, nullptr, 0), S_FALSE},
        {"GetOptionKeyPath", handler->GetOptionKeyPath(&key, 0), E_NOTIMPL},
        {"GetDropTarget", handler->GetDropTarget(nullptr, &target), E_NOTIMPL},
        {"TranslateUrl", handler->TranslateUrl(0, url, &translated), E_NOTIMPL},
        {"FilterDataObject", handler->FilterDataObject(nullptr, &filtered), E_NOTIMPL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.result) << c.method;
    // Out pointers the handler does not fill stay as they were.
    EXPECT_EQ(nullptr, key);
    EXPECT_EQ(reinterpret_cast<IDropTarget*>(1), target);
    EXPECT_EQ(nullptr, translated);
    EXPECT_EQ(reinterpret_cast<IDataObject*>(1), filtered);

    // window.external: the application's object, one reference for each read.
    const LONG before = s_external->RefCount();
    IDispatch* first = nullptr;
    IDispatch* second = nullptr;
    ASSERT_EQ(S_OK, handler->GetExternal(&first));
    ASSERT_EQ(S_OK, handler->GetExternal(&second));
    EXPECT_EQ(static_cast<IDispatch*>(s_external.get()), first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(before + 2, s_external->RefCount());
    first->Release();
    second->Release();
    EXPECT_EQ(E_POINTER, handler->GetExternal(nullptr));
    EXPECT_EQ(before, s_external->RefCount());
}

TEST_F(WebCommands, CompletedNavigationsThroughTheControlsOwnEvents)
{
    // Nothing for the blank page, or for an address that is not text.
    EXPECT_EQ(0u, Complete(L"about:blank"));
    VARIANT number;
    ::VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = 42;
    EXPECT_EQ(0u, Complete(number));
    EXPECT_FALSE(Dialog().IsGameLayout());

    // The login page: an ordinary page, and the browser shows.
    EXPECT_EQ(WM_WEB_PAGE_LOADED, Complete(L"http://www.lumora.example/zrkpt/inlinelogin/?channelid=0"));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(Web(), IDC_BROWSER)));
    EXPECT_FALSE(Dialog().IsGameLayout());

    // A game server, in any letter case: the game window.
    EXPECT_EQ(WM_GAME_PAGE_LOADED, Complete(L"http://S12.Game.Lumora.Example/play.php?id=3"));
    EXPECT_TRUE(Dialog().IsGameLayout());
    EXPECT_EQ(".GAME.LUMORA.EXAMPLE", Dialog().Addresses().loginKey.Bytes());
    EXPECT_EQ("HTTP://S", Dialog().Addresses().loginKeyPre.Bytes());

    // A frame of the game page reaching an ordinary page: back to the login screen, a new web window.
    const HWND game = Web();
    EXPECT_EQ(WM_WEB_PAGE_LOADED, Complete(L"http://bbs.lumora.example/"));
    EXPECT_FALSE(::IsWindow(game));
    EXPECT_FALSE(Dialog().IsGameLayout());
    EXPECT_EQ(".GAME.LUMORA.EXAMPLE", Dialog().Addresses().loginKey.Bytes()); // the object's copies stay folded
}

// A session the site still knows may go straight to a game server: the first completed page is the game's. The game
// window shows its browser whichever page came first. (That the browser waits for its first page is the web window's
// own test: here the client's own page has shown it already, so it is hidden again, as before any page.)
TEST_F(WebCommands, TheGameShowsTheBrowserWhicheverPageCameFirst)
{
    ::ShowWindow(::GetDlgItem(Web(), IDC_BROWSER), SW_HIDE);
    EXPECT_EQ(WM_GAME_PAGE_LOADED, Complete(L"http://s12.game.lumora.example/play.php?id=3"));
    ASSERT_TRUE(Dialog().IsGameLayout());
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(Web(), IDC_BROWSER))) << "a game reached first";

    // Back at the login screen, the login page, then the game again.
    EXPECT_EQ(WM_WEB_PAGE_LOADED, Complete(L"http://bbs.lumora.example/"));
    ASSERT_FALSE(Dialog().IsGameLayout());
    EXPECT_EQ(WM_WEB_PAGE_LOADED, Complete(L"http://www.lumora.example/zrkpt/inlinelogin/?channelid=0"));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(Web(), IDC_BROWSER)));
    EXPECT_EQ(WM_GAME_PAGE_LOADED, Complete(L"http://s12.game.lumora.example/play.php?id=3"));
    ASSERT_TRUE(Dialog().IsGameLayout());
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(Web(), IDC_BROWSER))) << "a game reached after the login page";
}

// Addresses no browser should send: they change nothing, or are classified like any other text.
TEST_F(WebCommands, MalformedAddressesAreHandledSafely)
{
    VARIANT odd;
    for (VARTYPE type : {VT_EMPTY, VT_NULL, VT_I4, VT_R8, VT_DISPATCH, VT_UNKNOWN})
    {
        SCOPED_TRACE(type);
        ::VariantInit(&odd);
        odd.vt = type;
        odd.llVal = 0;
        EXPECT_EQ(0u, Complete(odd));
        EXPECT_FALSE(Dialog().IsGameLayout());
    }
    // A string variant with no string at all, and an empty one.
    ::VariantInit(&odd);
    odd.vt = VT_BSTR;
    odd.bstrVal = nullptr;
    EXPECT_EQ(0u, Complete(odd));
    EXPECT_EQ(0u, Complete(L""));

    // Unpaired surrogates become the code page's default character: an ordinary web page.
    EXPECT_EQ(WM_WEB_PAGE_LOADED, Complete(L"http://\xD800www.lumora.example/\xDC00"));
    EXPECT_FALSE(Dialog().IsGameLayout());

    // 100,000 characters holding both keys: a game page, classified in full.
    std::wstring longAddress = L"http://s1.game.lumora.example/?" + std::wstring(100000, L'x');
    EXPECT_EQ(WM_GAME_PAGE_LOADED, Complete(longAddress.c_str()));
    EXPECT_TRUE(Dialog().IsGameLayout());
    // A string that stops at a zero unit: what comes after it is not read.
    VARIANT cut;
    ::VariantInit(&cut);
    cut.vt = VT_BSTR;
    cut.bstrVal = ::SysAllocStringLen(L"about:blank\0http://www.lumora.example/", 39);
    const HWND game = Web();
    EXPECT_EQ(0u, Complete(cut));
    ::VariantClear(&cut);
    EXPECT_EQ(game, Web());
    EXPECT_TRUE(Dialog().IsGameLayout());
}

TEST_F(WebCommands, SoundSwitchClicksThePointsOfTheSettingsDialog)
{
    CFlashStandIn flash(::GetDlgItem(Web(), IDC_BROWSER));
    CFlashStandIn::Clicks().clear();

    // The first press: sound off, the crossed-out speaker, the two clicks at the off point (-1, -1), with the
    // right button's flag.
    Command(IDC_BTN_VOLUME);
    Pump();
    EXPECT_FALSE(Dialog().IsSoundOn());
    EXPECT_EQ(185u, Dialog().Toolbar().Button(WebButton::Volume).ChooseImage(0));
    ASSERT_EQ(2u, CFlashStandIn::Clicks().size());
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONDOWN), CFlashStandIn::Clicks()[0].message);
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONUP), CFlashStandIn::Clicks()[1].message);
    for (const auto& click : CFlashStandIn::Clicks())
    {
        EXPECT_EQ(2u, click.wParam);
        EXPECT_EQ(static_cast<LPARAM>(0xFFFFFFFF), click.lParam);
    }
    // The second: on again, at (-1, -2).
    CFlashStandIn::Clicks().clear();
    Command(IDC_BTN_VOLUME);
    Pump();
    EXPECT_TRUE(Dialog().IsSoundOn());
    EXPECT_EQ(188u, Dialog().Toolbar().Button(WebButton::Volume).ChooseImage(0));
    ASSERT_EQ(2u, CFlashStandIn::Clicks().size());
    EXPECT_EQ(static_cast<LPARAM>(0xFFFEFFFF), CFlashStandIn::Clicks()[0].lParam);

    // The settings dialog: zeros at first; what is confirmed reaches the clicks, low 16 bits of each.
    static std::vector<std::wstring> shown;
    shown.clear();
    {
        CDialogDriver driver(
            L"Dialog",
            [](HWND dialog, void*)
            {
                for (int id : {IDC_VOLUME_OFF_X, IDC_VOLUME_OFF_Y, IDC_VOLUME_ON_X, IDC_VOLUME_ON_Y})
                {
                    wchar_t text[16] = {};
                    ::GetDlgItemTextW(dialog, id, text, 16);
                    shown.push_back(text);
                }
                ::SetDlgItemTextW(dialog, IDC_VOLUME_OFF_X, L"100");
                ::SetDlgItemTextW(dialog, IDC_VOLUME_OFF_Y, L"200");
                ::SetDlgItemTextW(dialog, IDC_VOLUME_ON_X, L"-3");
                ::SetDlgItemTextW(dialog, IDC_VOLUME_ON_Y, L"70000");
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            },
            nullptr);
        Command(ID_SETTINGS);
        EXPECT_TRUE(driver.Join());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"0", L"0", L"0"}), shown);
    EXPECT_EQ(100, Dialog().SoundOffPoint().x);
    EXPECT_EQ(200, Dialog().SoundOffPoint().y);
    EXPECT_EQ(-3, Dialog().SoundOnPoint().x);
    EXPECT_EQ(70000, Dialog().SoundOnPoint().y);
    CFlashStandIn::Clicks().clear();
    Command(IDC_BTN_VOLUME); // off
    Command(IDC_BTN_VOLUME); // on
    Pump();
    ASSERT_EQ(4u, CFlashStandIn::Clicks().size());
    EXPECT_EQ(MAKELPARAM(100, 200), CFlashStandIn::Clicks()[0].lParam);
    EXPECT_EQ(MAKELPARAM(-3, 70000), CFlashStandIn::Clicks()[2].lParam);

    // Text that is not a number is refused, the dialog stays; Cancel then stores nothing. The next showing shows
    // what was last confirmed.
    shown.clear();
    static std::wstring refusal;
    static HWND refusalBox;
    refusal.clear();
    refusalBox = nullptr;
    {
        CDialogDriver driver(
            L"Dialog",
            [](HWND dialog, void*)
            {
                wchar_t text[16] = {};
                ::GetDlgItemTextW(dialog, IDC_VOLUME_OFF_X, text, 16);
                shown.push_back(text);
                ::SetDlgItemTextW(dialog, IDC_VOLUME_OFF_X, L"abc");
                CDialogDriver box(
                    ApplicationName().c_str(),
                    [](HWND b, void*)
                    {
                        wchar_t message[64] = {};
                        ::GetDlgItemTextW(b, 0xFFFF, message, 64);
                        refusal = message;
                        refusalBox = b;
                        ::PostMessageW(b, WM_COMMAND, IDOK, 0);
                    },
                    nullptr, ::GetWindowThreadProcessId(dialog, nullptr));
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                box.Join();
                while (::IsWindow(refusalBox)) // the dialog goes on once its box is gone
                    ::Sleep(10);
                ::SetDlgItemTextW(dialog, IDC_VOLUME_OFF_X, L"5");
                ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            },
            nullptr);
        Command(ID_SETTINGS);
        EXPECT_TRUE(driver.Join());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"100"}), shown);
    EXPECT_EQ(L"请输入一个整数。", refusal);
    EXPECT_EQ(100, Dialog().SoundOffPoint().x);

    // A new web window starts from its own points again; the dialog keeps what was confirmed.
    ToGame();
    ::PostMessageW(Web(), WM_WEB_PAGE_LOADED, 0, 0);
    Pump();
    EXPECT_EQ(-1, Dialog().SoundOffPoint().x);
    EXPECT_EQ(-2, Dialog().SoundOnPoint().y);
    EXPECT_EQ(100, Dialog().m_dlgVolume.m_nOffX);
}

TEST_F(WebCommands, MinimiseTakesTheWebWindowAlong)
{
    Command(IDC_BTN_MIN);
    Pump();
    EXPECT_TRUE(::IsIconic(Main()));
    EXPECT_FALSE(::IsWindowVisible(Web()));
    ::ShowWindow(Main(), SW_RESTORE);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(Web()));
}

namespace
{

// Entries put into the real URL cache for the purge, and whether each is there now.
bool InCache(const char* url)
{
    DWORD size = 0;
    ::GetUrlCacheEntryInfoA(url, nullptr, &size);
    return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

bool PutInCache(const char* url, DWORD type, const char* body)
{
    char file[MAX_PATH] = {};
    if (!::CreateUrlCacheEntryA(url, 0, "htm", file, 0))
        return false;
    HANDLE h = ::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(h, body, static_cast<DWORD>(strlen(body)), &written, nullptr);
    ::CloseHandle(h);
    FILETIME never = {};
    return ::CommitUrlCacheEntryA(url, file, never, never, type, nullptr, 0, "htm", nullptr) != FALSE;
}

} // namespace

TEST_F(WebCommands, PurgeEmptiesTheUrlCacheButKeepsCookies)
{
    const char* pages[] = {"http://www.lumora.example/purge/a.html", "http://static.lumora.example/purge/game.swf"};
    // A record larger than the one before it: the enumeration asks for a bigger buffer in the middle.
    std::string large = "http://www.lumora.example/purge/" + std::string(600, 'x') + ".js";
    const char* cookie = "Cookie:user@lumora.example/";
    for (const char* page : {pages[0], pages[1], large.c_str()})
        ASSERT_TRUE(PutInCache(page, NORMAL_CACHE_ENTRY, "page")) << page;
    ASSERT_TRUE(PutInCache(cookie, COOKIE_CACHE_ENTRY, "name=value"));

    // No: the cache is untouched.
    {
        CDialogDriver box(ApplicationName().c_str(), Answer, reinterpret_cast<void*>(IDNO));
        Command(IDC_BTN_CLEAR);
        EXPECT_TRUE(box.Join());
    }
    EXPECT_TRUE(InCache(pages[0]));
    EXPECT_TRUE(InCache(large.c_str()));

    // Yes: every page goes, the cookie stays.
    {
        CDialogDriver box(ApplicationName().c_str(), Answer, reinterpret_cast<void*>(IDYES));
        Command(IDC_BTN_CLEAR);
        EXPECT_TRUE(box.Join());
    }
    EXPECT_FALSE(InCache(pages[0]));
    EXPECT_FALSE(InCache(pages[1]));
    EXPECT_FALSE(InCache(large.c_str()));
    EXPECT_TRUE(InCache(cookie));
    ::DeleteUrlCacheEntryA(cookie);
}

// Before it shows its script-error dialog the browser asks its site: the answer is to go on running the page's
// scripts, with no dialog; the error is written to the diagnostic log when that is on. Anything else asked is left
// to the browser.
TEST_F(WebCommands, AScriptErrorOfThePageShowsNoDialog)
{
    const GUID docHostCommands = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
    CComPtr<IOleCommandTarget> target;
    COleControlSite* site = Dialog().m_browser.ControlSite();
    ASSERT_NE(nullptr, site);
    ASSERT_EQ(S_OK, site->ExternalQueryInterface(IID_IOleCommandTarget, target.ReceiveVoid()));

    // In a folder of its own: the log is written under the current one.
    wchar_t previous[MAX_PATH] = {}, temp[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lumora-script-error-" + std::to_wstring(::GetTickCount());
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ::SetCurrentDirectoryW(folder.c_str());
    ZoGameBase::EnableDiagnosticLog(true);

    CErrorDocument document(L"'advert' 未定义", 12, 5, L"http://ads.example/advert.js");
    VARIANT in, out;
    ::VariantInit(&in);
    ::VariantInit(&out);
    in.vt = VT_UNKNOWN;
    in.punkVal = &document;
    EXPECT_EQ(S_OK, target->Exec(&docHostCommands, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
    EXPECT_EQ(VT_BOOL, out.vt);
    EXPECT_EQ(VARIANT_TRUE, out.boolVal) << "go on running the page's scripts";

    ZoGameBase::EnableDiagnosticLog(false);
    ::VariantInit(&out);
    EXPECT_EQ(S_OK, target->Exec(&docHostCommands, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out)) << "the log off";
    ::SetCurrentDirectoryW(previous);
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW((folder + L"\\debug\\*.log").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search) << "no log";
    ::FindClose(search);
    std::ifstream log(AfxUtf8((folder + L"\\debug\\" + found.cFileName).c_str()));
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(0u, line.find("script error on the page http://ads.example/advert.js, line 12, character 5: "
                            "'advert' \xE6\x9C\xAA\xE5\xAE\x9A\xE4\xB9\x89; the page goes on -- "))
        << line;
    EXPECT_FALSE(std::getline(log, line)) << "one record: the second question came with the log off";

    // Other questions are the browser's own.
    const GUID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, target->Exec(&other, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, target->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, target->Exec(&docHostCommands, OLECMDID_PRINT, 0, &in, &out));
    OLECMD command = {OLECMDID_SHOWSCRIPTERROR, 0};
    EXPECT_EQ(S_OK, target->QueryStatus(&docHostCommands, 1, &command, nullptr));
    EXPECT_EQ(static_cast<DWORD>(OLECMDF_SUPPORTED | OLECMDF_ENABLED), command.cmdf);
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, target->QueryStatus(&other, 1, &command, nullptr));
}
