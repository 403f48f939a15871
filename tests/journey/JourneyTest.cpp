// A player's whole session on the real client, end to end, with the stand-in browser control and the test site in
// place of the web (this test runs only in a prefix where they are set up): first start, the login page, logging
// in, the game window (restore, move, resize, maximise), the toolbar, back to the login screen, and leaving. It
// looks at windows and pixels at each step and keeps screenshots under screenshots/.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdlib>
#include <string>

#include "config/TextResource.h"
#include "framework/Rects.h"
#include "mainwnd/core/GameTables.h"
#include "mainwnd/core/MainLayout.h"
#include "mainwnd/core/ScreenSizeTable.h"
#include "res/resource.h"
#include "tests/support/ClientProcess.h"
#include "webwnd/core/WebLayout.h"

namespace
{

// Keeps a screenshot as screenshots/journey-<step>-<language>-<size>.png for a person to look at.
void Keep(const CScreenShot& shot, const wchar_t* step)
{
    std::printf("screenshot: %ls\n",
                shot.Save(std::wstring(L"journey-") + step + (::GetACP() == 936 ? L"-zh" : L"-en")).c_str());
}

// The stand-in browser's window: its text is "<page title> [<loads so far>]".
std::wstring BrowserText(const CClient& client)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(::GetDlgItem(client.Web(), IDC_BROWSER), text, 256);
    return text;
}

// Clicks the link of the page in the stand-in browser whose text contains words; false, with nothing clicked, while it
// has no such link (the page's title may show before its links).
bool FollowLink(const CClient& client, const wchar_t* words)
{
    HWND browser = ::GetDlgItem(client.Web(), IDC_BROWSER);
    for (HWND child = ::GetWindow(browser, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        wchar_t text[128] = {};
        ::GetWindowTextW(child, text, 128);
        if (std::wstring(text).find(words) != std::wstring::npos)
        {
            ::PostMessageW(child, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

bool IsLayered(HWND hwnd)
{
    return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

// Takes the test site down (every request closed unanswered) or brings it back, through its own control address.
bool SetSiteUp(bool up)
{
    wchar_t site[64] = {};
    if (!::GetEnvironmentVariableW(L"LUMORA_STANDIN_SITE", site, 64))
        return false;
    const std::wstring address = std::wstring(L"http://") + site + (up ? L"/__site/up" : L"/__site/down");
    HINTERNET internet = ::InternetOpenW(L"Lumora journey", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET request = internet ? ::InternetOpenUrlW(internet, address.c_str(), nullptr, 0,
                                                      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                 : nullptr;
    DWORD status = 0, size = sizeof status;
    const bool ok =
        request &&
        ::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
        status == 200;
    if (request)
        ::InternetCloseHandle(request);
    if (internet)
        ::InternetCloseHandle(internet);
    return ok;
}

// The title of the client's page for a server that cannot be reached, in the language the client picks.
std::wstring OfflinePageTitle()
{
    HMODULE client = ::LoadLibraryExW(BuiltClient().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    wchar_t name[64] = {};
    ::LoadStringW(client, IDS_OFFLINE_PAGE, name, 64);
    HRSRC resource = ::FindResourceW(client, name, MAKEINTRESOURCEW(23)); // RT_HTML
    std::string html = resource
                           ? std::string(static_cast<const char*>(::LockResource(::LoadResource(client, resource))),
                                         ::SizeofResource(client, resource))
                           : std::string();
    ::FreeLibrary(client);
    const size_t start = html.find("<title>"), end = html.find("</title>");
    return start == std::string::npos || end == std::string::npos
               ? L"(no title)"
               : AfxWide(html.substr(start + 7, end - start - 7).c_str());
}

// Follows the page's Retry link, in whichever language the page is. Like FollowLink, false while the page's links are
// not there yet: its title may show before them.
bool Retry(const CClient& client)
{
    return FollowLink(client, L"Retry") || FollowLink(client, L"重试");
}

// How many failures the client's guard has swallowed since it started: none, in a run where nothing went wrong.
LRESULT SwallowedBy(const CClient& client)
{
    return ::SendMessageW(client.Main(), ::RegisterWindowMessageW(L"Lumora.LiveCounts"), 2, 0);
}

bool ScriptErrorShown(const CClient& client)
{
    return !WindowsOf(client.ProcessId(), [](HWND h) { return ::IsWindowVisible(h) && TitleOf(h) == L"Script Error"; })
                .empty();
}

std::wstring DesktopFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

} // namespace

TEST(Journey, APlayersWholeSession)
{
    ASSERT_NE(0u, ::GetEnvironmentVariableW(L"LUMORA_STANDIN_SITE", nullptr, 0)) << "no test site";
    CRecordedShell shell;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lumora-journey-" + std::to_wstring(::GetTickCount());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"\\Lumora.exe";
    ASSERT_TRUE(::CopyFileW(BuiltClient().c_str(), exe.c_str(), FALSE));
    const std::wstring link = DesktopFolder() + L"\\Lumora.lnk";
    ::DeleteFileW(link.c_str());

    // 1. The first start of this copy: the shortcut and the profile flag; the login screen, whose browser shows
    //    once the login page has completed.
    CClient client(exe);
    ASSERT_TRUE(client.Started());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(link.c_str()));
    DWORD flag = 0, size = sizeof flag;
    EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_CURRENT_USER, (L"Software\\" + exe + L"\\Lumora\\root").c_str(),
                                            L"shortCut", RRF_RT_REG_DWORD, nullptr, &flag, &size));
    EXPECT_EQ(1u, flag);
    EXPECT_TRUE(IsLayered(client.Web()));
    HWND browser = ::GetDlgItem(client.Web(), IDC_BROWSER);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(browser) != FALSE; }));
    EXPECT_NE(std::wstring::npos, BrowserText(client).find(L"Sign in")) << AfxUtf8(BrowserText(client).c_str());
    ASSERT_TRUE(client.WaitSettled());
    EXPECT_TRUE(WaitForButtonsPainted(client.Web())) << "the buttons' pictures";
    {
        const CScreenShot shot;
        Keep(shot, L"1-login");
        EXPECT_EQ(0, shot.Count(WindowRect(client.Main()), [](DWORD p) { return p == 0x0000FF; })) << "key-blue shows";
        EXPECT_GT(shot.Count(WindowRect(browser), [](DWORD p) { return p == 0xFFFFFF; }), 1000)
            << "the page in the login screen";
    }

    // 2. The login page logs in: a redirect to a game server, and the client becomes the game window.
    ASSERT_TRUE(WaitFor([&] { return FollowLink(client, L"Log in"); })) << "no link \"Log in\"";
    ASSERT_TRUE(WaitFor([&] { return !IsLayered(client.Web()); }));
    ASSERT_TRUE(client.WaitSettled());
    EXPECT_TRUE(WaitForButtonsPainted(client.Web())) << "the buttons' pictures";
    const RECT work = AfxGetWorkArea();
    const RECT minimum = ToRECT(RectOfLayout(*Tables().FindLayout("DlgWeb_Min")));
    const RECT placed = ToRECT(PlaceWebWindow(ToRect(work), ToRect(work), ToRect(minimum), true));
    EXPECT_TRUE(Same(placed, WindowRect(client.Web()))) << Text(WindowRect(client.Web()));
    EXPECT_NE(std::wstring::npos, BrowserText(client).find(L"In the game"));
    Keep(CScreenShot(), L"2-game");

    // 3. Restore, move by the title band, resize by the edges, maximise by a double click.
    // Restored: the restore rectangle of the work area (the work area itself where the tables hold no size for it),
    // placed in the work area.
    const Rect workArea = ToRect(work);
    const Rect restore = ComputeRestoreRect(workArea, Tables().LookupScreenSize(workArea.Width(), true),
                                            Tables().LookupScreenSize(workArea.Height(), false));
    const RECT restored = ToRECT(PlaceWebWindow(
        ToggleMaximisedRects(false, workArea, ToRect(placed), restore).requested, workArea, ToRect(minimum), true));
    Click(client.Web(), IDC_BTN_MAX);
    // On a small screen the restored window may keep the maximised one's place and size: the click has been handled
    // once the strips around the browser resize.
    browser = ::GetDlgItem(client.Web(), IDC_BROWSER);
    RECT inner = {};
    EXPECT_TRUE(WaitFor(
        [&]
        {
            inner = WindowRect(browser);
            return Same(restored, WindowRect(client.Web())) &&
                   ::SendMessageW(client.Web(), WM_NCHITTEST, 0, MAKELPARAM(inner.right + 1, inner.top + 50)) ==
                       HTRIGHT;
        }))
        << Text(WindowRect(client.Web()));
    // The title band is left to the platform (which drags the window by it); the strips around the browser resize.
    EXPECT_NE(HTRIGHT, ::SendMessageW(client.Web(), WM_NCHITTEST, 0, MAKELPARAM(inner.left + 100, inner.top - 10)));
    EXPECT_EQ(HTRIGHT, ::SendMessageW(client.Web(), WM_NCHITTEST, 0, MAKELPARAM(inner.right + 1, inner.top + 50)));
    EXPECT_EQ(HTBOTTOM, ::SendMessageW(client.Web(), WM_NCHITTEST, 0, MAKELPARAM(inner.left + 50, inner.bottom + 1)));
    EXPECT_EQ(HTBOTTOMRIGHT,
              ::SendMessageW(client.Web(), WM_NCHITTEST, 0, MAKELPARAM(inner.right + 1, inner.bottom + 1)));
    // What the platform's move and size loops end in: the window moved, then made larger from its right and bottom
    // edges. The small main window follows its corner; the buttons stay anchored to the right edge.
    ::SetWindowPos(client.Web(), nullptr, restored.left + 30, restored.top + 20, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(client.Main()).left == restored.left + 30; }));
    EXPECT_EQ(restored.top + 20, WindowRect(client.Main()).top);
    const int width = std::min<int>(restored.right - restored.left + 60, work.right - work.left);
    ::SetWindowPos(client.Web(), nullptr, 0, 0, width, restored.bottom - restored.top, SWP_NOMOVE | SWP_NOZORDER);
    RECT client_ = {};
    ::GetClientRect(client.Web(), &client_);
    EXPECT_EQ(WindowRect(client.Web()).left + client_.right - 32,
              WindowRect(::GetDlgItem(client.Web(), IDC_BTN_EXIT)).left);
    EXPECT_EQ(WindowRect(client.Web()).right - 3, WindowRect(browser).right);
    ::PostMessageW(client.Web(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 10));
    EXPECT_TRUE(WaitFor([&] { return Same(placed, WindowRect(client.Web())); }));

    // 4. The toolbar in the game: site pages in the user's browser, the purge asked (No, then Yes), a reload that
    //    reaches the control, and leaving refused.
    Click(client.Web(), IDC_BTN_OFFICIAL);
    EXPECT_TRUE(WaitFor([&] { return shell.Opened().size() == 1; }));
    Click(client.Web(), IDC_BTN_FORUM);
    EXPECT_TRUE(WaitFor([&] { return shell.Opened().size() == 2; }));
    EXPECT_EQ((std::vector<std::string>{Tables().GetSiteUrl(SiteUrlOfficial).Bytes(),
                                        Tables().GetSiteUrl(SiteUrlForum).Bytes()}),
              shell.Opened());
    ASSERT_TRUE(PutInCache("http://static.lumora.example/journey/game.swf", NORMAL_CACHE_ENTRY));
    Click(client.Web(), IDC_BTN_CLEAR);
    EXPECT_EQ(L"确认要清除IE及Flash缓存？", AnswerBox(client, IDNO));
    EXPECT_TRUE(InCache("http://static.lumora.example/journey/game.swf"));
    Click(client.Web(), IDC_BTN_CLEAR);
    EXPECT_EQ(L"确认要清除IE及Flash缓存？", AnswerBox(client, IDYES));
    EXPECT_TRUE(WaitFor([] { return !InCache("http://static.lumora.example/journey/game.swf"); }));
    const std::wstring beforeReload = BrowserText(client);
    Click(client.Web(), IDC_BTN_REFRESH);
    EXPECT_TRUE(WaitFor([&] { return BrowserText(client) != beforeReload; })) << "the reload reaches the control";
    EXPECT_NE(std::wstring::npos, BrowserText(client).find(L"In the game"));
    Click(client.Web(), IDC_BTN_EXIT);
    EXPECT_EQ(L"当前操作将退出游戏，是否继续", AnswerBox(client, IDNO));
    ASSERT_TRUE(HandledSoFar(client.Web()));
    EXPECT_TRUE(Same(placed, WindowRect(client.Web())));
    EXPECT_FALSE(IsLayered(client.Web()));

    // 5. The game page goes to an ordinary page: the login screen again, with the web window made anew.
    const HWND gameWindow = client.Web();
    ASSERT_TRUE(WaitFor([&] { return FollowLink(client, L"Back to the site"); })) << "no link \"Back to the site\"";
    ASSERT_TRUE(WaitFor([&] { return client.Refresh() && client.Web() != gameWindow && IsLayered(client.Web()); }));
    EXPECT_FALSE(::IsWindow(gameWindow));
    browser = ::GetDlgItem(client.Web(), IDC_BROWSER);
    ASSERT_TRUE(WaitFor(
        [&] { return ::IsWindowVisible(browser) && BrowserText(client).find(L"Sign in") != std::wstring::npos; }));
    ASSERT_TRUE(client.WaitSettled());
    EXPECT_TRUE(WaitForButtonsPainted(client.Web())) << "the buttons' pictures";
    Keep(CScreenShot(), L"5-login-again");

    // Nothing failed out of sight so far.
    EXPECT_EQ(0, SwallowedBy(client));

    // 6. Log in again, then leave: asked, answered Yes, and the process ends by its own exit.
    ASSERT_TRUE(WaitFor([&] { return FollowLink(client, L"Log in"); })) << "no link \"Log in\"";
    ASSERT_TRUE(WaitFor([&] { return !IsLayered(client.Web()); }));
    Click(client.Web(), IDC_BTN_EXIT);
    EXPECT_EQ(L"当前操作将退出游戏，是否继续", AnswerBox(client, IDYES));
    DWORD code = 1;
    EXPECT_TRUE(client.Ended(code));
    EXPECT_EQ(0u, code);
    ::DeleteFileW(link.c_str());
}

// The server goes away and comes back, at the login screen and in the game: the client's own page stands in the
// browser's place (in the user's language), its Retry link goes back to the address that failed, and the layout
// stays what it was. The login page's failing advert script shows no dialog.
TEST(Journey, AServerThatCannotBeReached)
{
    ASSERT_TRUE(SetSiteUp(false)) << "the test site's control address";
    struct CSiteBack
    {
        ~CSiteBack() { SetSiteUp(true); }
    } back;
    const std::wstring offline = OfflinePageTitle();

    // 1. Down at the login screen: the page shows in the login panel.
    CClient client;
    ASSERT_TRUE(client.Started());
    HWND browser = ::GetDlgItem(client.Web(), IDC_BROWSER);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(browser) && BrowserText(client).find(offline) == 0; }))
        << AfxUtf8(BrowserText(client).c_str()) << " instead of " << AfxUtf8(offline.c_str());
    EXPECT_TRUE(IsLayered(client.Web()));
    ASSERT_TRUE(client.WaitSettled());
    EXPECT_TRUE(WaitForButtonsPainted(client.Web())) << "the buttons' pictures";
    Keep(CScreenShot(), L"offline-1-login");

    // 2. Back, and the player retries: the login page, whose advert's script error is answered without a dialog.
    ASSERT_TRUE(SetSiteUp(true));
    ASSERT_TRUE(WaitFor([&] { return Retry(client); })) << "no Retry link";
    ASSERT_TRUE(WaitFor([&] { return BrowserText(client).find(L"Sign in") != std::wstring::npos; }))
        << AfxUtf8(BrowserText(client).c_str());
    EXPECT_EQ(std::wstring::npos, BrowserText(client).find(L"script errors answered: 0"))
        << AfxUtf8(BrowserText(client).c_str());
    EXPECT_FALSE(ScriptErrorShown(client));

    // 3. Into the game.
    ASSERT_TRUE(WaitFor([&] { return FollowLink(client, L"Log in"); })) << "no link \"Log in\"";
    ASSERT_TRUE(WaitFor([&] { return !IsLayered(client.Web()); }));
    const HWND game = client.Web();
    ASSERT_TRUE(WaitFor([&] { return BrowserText(client).find(L"In the game") != std::wstring::npos; }));

    // 4. The game server goes down and the page is reloaded: the page in the game window, which stays.
    ASSERT_TRUE(SetSiteUp(false));
    Click(client.Web(), IDC_BTN_REFRESH);
    ASSERT_TRUE(WaitFor([&] { return BrowserText(client).find(offline) == 0; }))
        << AfxUtf8(BrowserText(client).c_str());
    EXPECT_EQ(game, client.Web());
    EXPECT_FALSE(IsLayered(client.Web()));
    ASSERT_TRUE(client.WaitSettled());
    EXPECT_TRUE(WaitForButtonsPainted(client.Web())) << "the buttons' pictures";
    Keep(CScreenShot(), L"offline-2-game");
    // A retry that fails again shows the page once more (a load of its own), and nothing else happens.
    const std::wstring shown = BrowserText(client);
    ASSERT_TRUE(WaitFor([&] { return Retry(client); })) << "no Retry link";
    ASSERT_TRUE(WaitFor([&] { return BrowserText(client) != shown && BrowserText(client).find(offline) == 0; }))
        << AfxUtf8(BrowserText(client).c_str());
    EXPECT_EQ(game, client.Web());

    // 5. Back again: Retry returns to the game page, and the game page's link to the site leads to the login screen.
    ASSERT_TRUE(SetSiteUp(true));
    ASSERT_TRUE(WaitFor([&] { return Retry(client); })) << "no Retry link";
    ASSERT_TRUE(WaitFor([&] { return BrowserText(client).find(L"In the game") != std::wstring::npos; }))
        << AfxUtf8(BrowserText(client).c_str());
    EXPECT_EQ(game, client.Web());
    ASSERT_TRUE(WaitFor([&] { return FollowLink(client, L"Back to the site"); })) << "no link \"Back to the site\"";
    ASSERT_TRUE(WaitFor([&] { return client.Refresh() && client.Web() != game && IsLayered(client.Web()); }));
    ASSERT_TRUE(WaitFor([&] { return BrowserText(client).find(L"Sign in") != std::wstring::npos; }));
    EXPECT_FALSE(ScriptErrorShown(client));
    EXPECT_EQ(0, SwallowedBy(client));
}

namespace
{

// What the running client holds: its private memory, and the GDI objects and windows its own owners count.
struct Holdings
{
    SIZE_T privateBytes;
    LRESULT gdiObjects;
    LRESULT windows;
    LRESULT swallowed; // failures the guard swallowed
};

Holdings HoldingsOf(const CClient& client)
{
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(client.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    const UINT counts = ::RegisterWindowMessageW(L"Lumora.LiveCounts");
    // Wine fills PagefileUsage (committed private memory) but not PrivateUsage.
    return Holdings{memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage,
                    ::SendMessageW(client.Main(), counts, 0, 0), ::SendMessageW(client.Main(), counts, 1, 0),
                    ::SendMessageW(client.Main(), counts, 2, 0)};
}

void Print(const char* when, const Holdings& h)
{
    std::printf("%s: private memory %lu KiB, GDI objects %ld, windows %ld, swallowed failures %ld\n", when,
                static_cast<unsigned long>(h.privateBytes / 1024), static_cast<long>(h.gdiObjects),
                static_cast<long>(h.windows), static_cast<long>(h.swallowed));
}

// One cycle: log in from the login screen, then leave the game for the ordinary site and so the login screen again.
// Success, or the step that did not come.
::testing::AssertionResult Cycle(CClient& client)
{
    const auto failed = [&](const char* step)
    {
        DWORD code = 0;
        const bool ended = client.Ended(code, 0);
        if (ended)
            return ::testing::AssertionFailure() << step << " (the client has ended, code " << code << ")";
        client.Refresh();
        return ::testing::AssertionFailure()
               << step << " (web window " << client.Web() << ", " << (IsLayered(client.Web()) ? "login" : "game")
               << " layout, text \"" << AfxUtf8(BrowserText(client).c_str()) << "\")";
    };
    if (!WaitFor([&] { return client.Refresh() && FollowLink(client, L"Log in"); }))
        return failed("no \"Log in\" link on the login screen");
    if (!WaitFor([&] { return client.Refresh() && !IsLayered(client.Web()); }))
        return failed("no game window after following \"Log in\"");
    const HWND game = client.Web();
    if (!WaitFor([&] { return client.Refresh() && FollowLink(client, L"Back to the site"); }))
        return failed("no \"Back to the site\" link in the game window");
    if (!WaitFor(
            [&]
            {
                return client.Refresh() && client.Web() != game && IsLayered(client.Web()) &&
                       BrowserText(client).find(L"Sign in") != std::wstring::npos;
            }))
        return failed("no login screen with \"Sign in\" after leaving the game");
    return ::testing::AssertionSuccess();
}

} // namespace

// Login, game and back, many times over on the running client: nothing crashes, and what it holds at the end is
// what it held after the first cycle, within a small margin. LUMORA_SOAK_CYCLES sets the count (the test command
// runs 25; the README has the command for 1,000).
TEST(Journey, SoakOfLoginGameLoginCycles)
{
    wchar_t text[16] = {};
    const int cycles = ::GetEnvironmentVariableW(L"LUMORA_SOAK_CYCLES", text, 16) ? _wtoi(text) : 25;
    CClient client;
    ASSERT_TRUE(client.Started());
    ASSERT_TRUE(WaitFor([&] { return BrowserText(client).find(L"Sign in") != std::wstring::npos; }));
    ASSERT_TRUE(Cycle(client));
    const Holdings first = HoldingsOf(client);
    Print("after cycle 1", first);
    for (int i = 2; i <= cycles; ++i)
    {
        ASSERT_TRUE(Cycle(client)) << "cycle " << i;
        if (i % 100 == 0)
            Print(("after cycle " + std::to_string(i)).c_str(), HoldingsOf(client));
    }
    const Holdings last = HoldingsOf(client);
    if (cycles % 100 != 0)
        Print(("after cycle " + std::to_string(cycles)).c_str(), last);
    EXPECT_EQ(first.gdiObjects, last.gdiObjects);
    EXPECT_EQ(first.windows, last.windows);
    EXPECT_EQ(0, last.swallowed);
    EXPECT_LT(last.privateBytes, first.privateBytes + first.privateBytes / 10 + 4 * 1024 * 1024)
        << "private memory grew from " << first.privateBytes << " to " << last.privateBytes;
}
