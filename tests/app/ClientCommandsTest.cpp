// Every command of the running client, driven from outside as a user drives it: message boxes answered Yes and No,
// site pages reaching the shell (the prefix's http handler is replaced by a recorder for the test), the sound
// switch's clicks received by a window of the Flash player's class made where the client looks for it, the
// settings dialog's values reaching those clicks, the purge over the shared URL cache, reloading and minimising.
#include <gtest/gtest.h>

#include <windows.h>

#include <wininet.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/ClientProcess.h"
#include "tests/support/PumpUntil.h"

namespace
{

// Clicks that reach a window of the Flash player's class, made three levels below the client's browser window.
std::vector<LPARAM> g_clicks;
std::vector<WPARAM> g_keys;
LRESULT CALLBACK FlashProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP)
    {
        g_clicks.push_back(lParam);
        g_keys.push_back(wParam);
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

TEST(ClientCommands, ExitEndsTheClientAtOnceOnTheLoginScreen)
{
    CClient client;
    ASSERT_TRUE(client.Started());
    Click(client.Web(), IDC_BTN_EXIT);
    DWORD code = 1;
    EXPECT_TRUE(client.Ended(code));
    EXPECT_EQ(0u, code);
}

TEST(ClientCommands, ExitAsksFirstInTheGame)
{
    CClient client;
    ASSERT_TRUE(client.Started());
    ASSERT_TRUE(client.PostToWeb(WM_GAME_PAGE_LOADED,
                                 [&] { return !(::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_LAYERED); }));
    const RECT before = WindowRect(client.Web());
    Click(client.Web(), IDC_BTN_EXIT);
    EXPECT_EQ(L"当前操作将退出游戏，是否继续", AnswerBox(client, IDNO));
    ASSERT_TRUE(HandledSoFar(client.Web()));
    EXPECT_TRUE(Same(before, WindowRect(client.Web()))) << "No changes nothing";
    Click(client.Web(), IDC_BTN_EXIT);
    EXPECT_EQ(L"当前操作将退出游戏，是否继续", AnswerBox(client, IDYES));
    DWORD code = 1;
    EXPECT_TRUE(client.Ended(code));
    EXPECT_EQ(0u, code);
}

// The two questions are Yes/No boxes that stay above every other window (system modal), whichever window is in
// front; No leaves everything as it was.
TEST(ClientCommands, QuestionsAreSystemModalYesNoBoxes)
{
    CClient client;
    ASSERT_TRUE(client.Started());
    ASSERT_TRUE(client.PostToWeb(WM_GAME_PAGE_LOADED,
                                 [&] { return !(::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_LAYERED); }));
    struct Case
    {
        int command;
        const wchar_t* question;
    } const cases[] = {
        {IDC_BTN_EXIT, L"当前操作将退出游戏，是否继续"},
        {IDC_BTN_CLEAR, L"确认要清除IE及Flash缓存？"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(AfxUtf8(c.question));
        Click(client.Web(), c.command);
        BoxStyle style = {};
        EXPECT_EQ(c.question, AnswerBox(client, IDNO, &style));
        EXPECT_TRUE(style.yes && style.no) << "Yes and No";
        EXPECT_FALSE(style.ok || style.cancel) << "nothing else";
        EXPECT_TRUE(style.topmost) << "system modal: above every other window";
    }
    DWORD code = 0;
    EXPECT_FALSE(client.Ended(code, 300));
}

TEST(ClientCommands, SitePagesOpenInTheUsersBrowser)
{
    CRecordedShell shell;
    CClient client;
    ASSERT_TRUE(client.Started());
    const RECT main = WindowRect(client.Main());
    const RECT web = WindowRect(client.Web());
    struct Case
    {
        int command;
        const char* address;
    } const cases[] = {
        {IDC_BTN_OFFICIAL, "http://www.lumora.example/index.php?r=game/index&game_id=1001"},
        {IDC_BTN_PAY, "http://open.lumora.example/game/payApiUrl.html?gameid=1001"},
        {IDC_BTN_FORUM, "http://bbs.lumora.example"},
        {IDC_BTN_CUSTOM, "http://static.lumora.example/static/web/online_service.html"},
        {IDC_BTN_REGIST, "http://www.partner.example/users/game_regist.php?gameid=133"}, // its button is hidden
    };
    std::vector<std::string> expected;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.address);
        Click(client.Web(), c.command);
        expected.push_back(c.address);
        EXPECT_TRUE(WaitFor([&] { return shell.Opened().size() == expected.size(); }));
    }
    EXPECT_EQ(expected, shell.Opened());
    // Each with show command 13, past the named ones, as the shell was handed it.
    EXPECT_EQ(std::vector<std::string>(expected.size(), "13"), shell.ShowCommands());
    // The client's own windows stay as they were.
    EXPECT_TRUE(Same(main, WindowRect(client.Main())));
    EXPECT_TRUE(Same(web, WindowRect(client.Web())));
    EXPECT_NE(0, ::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(ClientCommands, SoundSwitchAndItsSettings)
{
    CClient client;
    ASSERT_TRUE(client.Started());
    HWND browser = ::GetDlgItem(client.Web(), IDC_BROWSER);
    ASSERT_TRUE(::IsWindow(browser));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FlashProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MacromediaFlashPlayerActiveX";
    ::RegisterClassW(&wc);
    HWND first = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, browser, nullptr, nullptr, nullptr);
    ::SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND second = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, first, nullptr, nullptr, nullptr);
    HWND flash = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 10, 10, second, nullptr, nullptr, nullptr);
    ASSERT_TRUE(flash);

    // The first press: the off point as the web window starts with it, (-1, -1), with MK_RBUTTON.
    g_clicks.clear();
    g_keys.clear();
    Click(client.Web(), IDC_BTN_VOLUME);
    Pump(500);
    EXPECT_EQ((std::vector<LPARAM>{static_cast<LPARAM>(0xFFFFFFFF), static_cast<LPARAM>(0xFFFFFFFF)}), g_clicks);
    EXPECT_EQ((std::vector<WPARAM>{2, 2}), g_keys);

    // The settings dialog, as a user fills it in: its values reach the next clicks.
    ::PostMessageW(client.Web(), WM_COMMAND, ID_SETTINGS, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindShown(client.ProcessId(), L"Dialog")) != nullptr; }));
    wchar_t text[16] = {};
    ::GetDlgItemTextW(dialog, IDC_VOLUME_ON_X, text, 16);
    EXPECT_STREQ(L"0", text);
    // Its labels: off (关闭) at the left, on (开启) at the right.
    std::vector<std::wstring> labels;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        wchar_t className[16] = {}, label[16] = {};
        ::GetClassNameW(child, className, 16);
        ::GetWindowTextW(child, label, 16);
        if (std::wstring(className) == L"Static")
            labels.push_back(label);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"关闭  Y", L"开启  X", L"开启 Y", L"关闭  X"}), labels);
    ::SetDlgItemTextW(dialog, IDC_VOLUME_OFF_X, L"640");
    ::SetDlgItemTextW(dialog, IDC_VOLUME_OFF_Y, L"24");
    ::SetDlgItemTextW(dialog, IDC_VOLUME_ON_X, L"600");
    ::SetDlgItemTextW(dialog, IDC_VOLUME_ON_Y, L"25");
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    g_clicks.clear();
    Click(client.Web(), IDC_BTN_VOLUME); // on again
    Pump(300);
    Click(client.Web(), IDC_BTN_VOLUME); // off
    Pump(500);
    EXPECT_EQ((std::vector<LPARAM>{MAKELPARAM(600, 25), MAKELPARAM(600, 25), MAKELPARAM(640, 24), MAKELPARAM(640, 24)}),
              g_clicks);
    ::DestroyWindow(first);
}

TEST(ClientCommands, PurgeReloadAndMinimise)
{
    const char* page = "http://www.lumora.example/commands-test/game.swf";
    const char* cookie = "Cookie:player@lumora.example/";
    ASSERT_TRUE(PutInCache(page, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(PutInCache(cookie, COOKIE_CACHE_ENTRY));
    CClient client;
    ASSERT_TRUE(client.Started());

    // The purge, in the login layout: No keeps the cache, Yes empties it but for the cookies.
    Click(client.Web(), IDC_BTN_CLEAR);
    EXPECT_EQ(L"确认要清除IE及Flash缓存？", AnswerBox(client, IDNO));
    EXPECT_TRUE(InCache(page));
    Click(client.Web(), IDC_BTN_CLEAR);
    EXPECT_EQ(L"确认要清除IE及Flash缓存？", AnswerBox(client, IDYES));
    EXPECT_TRUE(WaitFor([&] { return !InCache(page); }));
    EXPECT_TRUE(InCache(cookie));
    ::DeleteUrlCacheEntryA(cookie);

    // Reloading a page that never loaded fails in the browser; the client goes on.
    Click(client.Web(), IDC_BTN_REFRESH);
    ASSERT_TRUE(HandledSoFar(client.Web()));
    EXPECT_TRUE(::IsWindowVisible(client.Web()));

    // Minimising takes the web window along.
    Click(client.Web(), IDC_BTN_MIN);
    EXPECT_TRUE(WaitFor([&] { return ::IsIconic(client.Main()) && !::IsWindowVisible(client.Web()); }));
}
