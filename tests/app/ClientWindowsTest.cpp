// The real client, as users start it, looked at from outside: its windows' places, styles and layered attributes in
// both layouts, driven by the messages the navigation watch posts, and screenshots of the login screen and the game
// window, checked for a few telling pixels and kept under screenshots/ for a person to look at.
#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>
#include <psapi.h>
#include <shlwapi.h>

#include <memory>
#include <string>
#include <vector>

#include "config/TextResource.h"
#include "tests/support/ClientProcess.h"
#include "framework/Rects.h"
#include "framework/Scoped.h"
#include "framework/Text.h"
#include "mainwnd/core/GameTables.h"
#include "mainwnd/core/MainLayout.h"
#include "res/resource.h"
#include "webwnd/core/WebLayout.h"

namespace
{

bool IsKeyBlue(DWORD p)
{
    return p == 0x0000FF;
}

bool IsWhite(DWORD p)
{
    return (p & 0xF0F0F0) == 0xF0F0F0;
}

bool IsBlack(DWORD p)
{
    return p == 0;
}

} // namespace

TEST(ClientWindows, LoginScreen)
{
    CClient client;
    ASSERT_TRUE(client.Started());

    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const LoginPlacement place = PlaceLoginWindow(1024, 700, screenWidth, screenHeight, Tables().FindLayout("DlgWeb"));
    const RECT main = ToRECT(place.window), picture = ToRECT(place.picture);
    EXPECT_TRUE(Same(main, WindowRect(client.Main()))) << Text(WindowRect(client.Main()));
    EXPECT_NE(0, ::GetWindowLongW(client.Main(), GWL_EXSTYLE) & WS_EX_LAYERED);

    const RECT web = {picture.left + 320, picture.top + 188, picture.left + 1004, picture.top + 578};
    EXPECT_TRUE(Same(web, WindowRect(client.Web()))) << Text(WindowRect(client.Web()));
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(client.Web(), &key, &alpha, &flags));
    EXPECT_EQ(RGB(0, 0, 255), key);
    EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY), flags);
    EXPECT_EQ(0, ::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    for (int id : {IDC_BTN_MAX, IDC_BTN_ICON, IDC_BTN_REFRESH, IDC_BTN_CLEAR})
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(client.Web(), id))) << id;
    for (int id : {IDC_BTN_OFFICIAL, IDC_BTN_PAY, IDC_BTN_FORUM, IDC_BTN_CUSTOM, IDC_BTN_MIN, IDC_BTN_EXIT})
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(client.Web(), id))) << id;

    // What the user sees: the picture inside its shape, the buttons on it, nothing key-blue, and the screen behind
    // (black) outside the shape, in the main window's top-left corner.
    {
        HWND pay = ::GetDlgItem(client.Web(), IDC_BTN_PAY);
        const RECT payRect = WindowRect(pay);
        const auto gold = [](DWORD p) { return ((p >> 16) & 0xFF) > 0xA0 && ((p >> 8) & 0xFF) > 0x60; };
        EXPECT_TRUE(WaitForButtonsPainted(client.Web())) << "the buttons' pictures";
        const CScreenShot shot;
        std::printf("screenshot: %ls\n", shot.Save(L"login").c_str());
        EXPECT_EQ(0, shot.Count(main, IsKeyBlue));
        EXPECT_TRUE(IsBlack(shot.At(main.left + 2, main.top + 2)));
        EXPECT_FALSE(IsBlack(shot.At((main.left + web.left) / 2, (main.top + main.bottom) / 2)));
        EXPECT_GT(shot.Count(payRect, gold), 100) << "the Pay button's gold face";
    }

    // Enter and Escape in the web window do nothing: it stays, and so does the client.
    for (WPARAM key : {VK_RETURN, VK_ESCAPE})
    {
        ::PostMessageW(::GetDlgItem(client.Web(), IDC_BTN_OFFICIAL), WM_KEYDOWN, key, 0);
        ::PostMessageW(::GetDlgItem(client.Web(), IDC_BTN_OFFICIAL), WM_KEYUP, key, 0);
        ::PostMessageW(client.Web(), WM_KEYDOWN, key, 0);
        ::PostMessageW(client.Web(), WM_KEYUP, key, 0);
    }
    // Handled, and so is anything their handling posted in turn.
    ASSERT_TRUE(HandledSoFar(client.Web()));
    ASSERT_TRUE(HandledSoFar(client.Web()));
    EXPECT_TRUE(::IsWindowVisible(client.Web()));
    EXPECT_TRUE(::IsWindowVisible(client.Main()));

    // Dragging moves the main window; the web window goes with it.
    ::SetWindowPos(client.Main(), nullptr, main.left - 40, main.top + 30, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(client.Web()).left == web.left - 40; }));
    EXPECT_EQ(web.top + 30, WindowRect(client.Web()).top);
}

TEST(ClientWindows, GameWindowAndBack)
{
    CClient client;
    ASSERT_TRUE(client.Started());

    // The first page shows the browser, then a game server turns the client into the game window.
    HWND browser = ::GetDlgItem(client.Web(), IDC_BROWSER);
    ASSERT_TRUE(client.PostToWeb(WM_WEB_PAGE_LOADED, [&] { return ::IsWindowVisible(browser) != FALSE; }));
    ASSERT_TRUE(client.PostToWeb(WM_GAME_PAGE_LOADED,
                                 [&] { return !(::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_LAYERED); }));

    const RECT work = AfxGetWorkArea();
    const RECT minimum = ToRECT(RectOfLayout(*Tables().FindLayout("DlgWeb_Min")));
    const RECT placed = ToRECT(PlaceWebWindow(ToRect(work), ToRect(work), ToRect(minimum), true));
    EXPECT_TRUE(Same(placed, WindowRect(client.Web()))) << Text(WindowRect(client.Web()));
    EXPECT_TRUE(WaitFor([&] { return WindowRect(client.Main()).left == placed.left; }));
    EXPECT_TRUE(Same(RECT{placed.left, placed.top, placed.left + 10, placed.top + 10}, WindowRect(client.Main())))
        << Text(WindowRect(client.Main()));
    for (int id : {IDC_BTN_MAX, IDC_BTN_ICON, IDC_BTN_REFRESH, IDC_BTN_CLEAR, IDC_BTN_PAY, IDC_BTN_EXIT})
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(client.Web(), id))) << id;
    RECT client_ = {};
    ::GetClientRect(client.Web(), &client_);
    RECT exit = WindowRect(::GetDlgItem(client.Web(), IDC_BTN_EXIT));
    EXPECT_EQ(placed.left + client_.right - 32, exit.left);

    // The title bar: the frame drawn, the title in white at its place, nothing key-blue anywhere.
    {
        EXPECT_TRUE(WaitForButtonsPainted(client.Web())) << "the buttons' pictures";
        const CScreenShot shot;
        std::printf("screenshot: %ls\n", shot.Save(L"game").c_str());
        const LayoutRect* title = Tables().FindLayout("WebTitle_L");
        ASSERT_NE(nullptr, title);
        const RECT titleBand = {placed.left + title->x, placed.top + title->y, placed.left + title->x + 200,
                                placed.top + title->y + title->h};
        EXPECT_GT(shot.Count(titleBand, IsWhite), 20) << "the title text";
        // The title is string 198 in the language the loader picks ("Lumora Loader" in English, the shorter
        // "Lumora" in Chinese), drawn in the window's default font: its white ends where that text ends.
        HMODULE resources = ::LoadLibraryExW(BuiltClient().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, resources);
        wchar_t expected[64] = {};
        ::LoadStringW(resources, IDS_WEB_TITLE, expected, 64);
        ::FreeLibrary(resources);
        HDC screen = ::GetDC(nullptr);
        HGDIOBJ font = ::SelectObject(screen, ::GetStockObject(SYSTEM_FONT));
        SIZE extent = {};
        ::GetTextExtentPoint32W(screen, expected, static_cast<int>(wcslen(expected)), &extent);
        ::SelectObject(screen, font);
        ::ReleaseDC(nullptr, screen);
        int lastWhite = -1;
        for (int x = titleBand.left; x < titleBand.left + 400; ++x)
            for (int y = titleBand.top; y < titleBand.bottom; ++y)
                lastWhite = IsWhite(shot.At(x, y)) ? x : lastWhite;
        EXPECT_NEAR(titleBand.left + extent.cx, lastWhite + 1, 4) << AfxUtf8(expected);
        const RECT frame = {placed.left + 400, placed.top, placed.left + 800, placed.top + 30};
        EXPECT_EQ(0, shot.Count(frame, IsBlack)) << "the frame behind the title bar";
        EXPECT_EQ(0, shot.Count(placed, IsKeyBlue));
    }

    // Another web address: the login screen again, with a new web window.
    const HWND gameWindow = client.Web();
    ASSERT_TRUE(client.PostToWeb(WM_WEB_PAGE_LOADED, [&] { return client.Web() != gameWindow; }));
    EXPECT_FALSE(::IsWindow(gameWindow));
    EXPECT_NE(0, ::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_LAYERED);
    const RECT picture = ToRECT(PlaceLoginWindow(1024, 700, ::GetSystemMetrics(SM_CXSCREEN),
                                                 ::GetSystemMetrics(SM_CYSCREEN), Tables().FindLayout("DlgWeb"))
                                    .picture);
    EXPECT_TRUE(Same(RECT{picture.left + 320, picture.top + 188, picture.left + 1004, picture.top + 578},
                     WindowRect(client.Web())));
}

// The manifest names the client's own processor architecture, so its process gets version 6 of the common controls:
// the side-by-side assembly of its architecture, not the system folder's version 5 (whose file Wine and Windows
// load when the manifest's dependency cannot be found).
TEST(ClientWindows, CommonControlsVersionSix)
{
    CClient client;
    ASSERT_TRUE(client.Started());
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    ASSERT_TRUE(::EnumProcessModules(client.Process(), modules.data(),
                                     static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed));
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    std::wstring comctl;
    for (HMODULE module : modules)
    {
        wchar_t path[MAX_PATH] = {};
        if (::GetModuleFileNameExW(client.Process(), module, path, MAX_PATH) &&
            ::lstrcmpiW(::PathFindFileNameW(path), L"comctl32.dll") == 0)
            comctl = path;
    }
    ASSERT_FALSE(comctl.empty()) << "no comctl32.dll in the client's process";
    for (wchar_t& c : comctl)
        c = static_cast<wchar_t>(::towlower(c));
    const std::wstring assembly = std::wstring(sizeof(void*) == 8 ? L"\\winsxs\\amd64_" : L"\\winsxs\\x86_") +
                                  L"microsoft.windows.common-controls_6595b64144ccf1df_6.";
    EXPECT_NE(std::wstring::npos, comctl.find(assembly)) << AfxUtf8(comctl.c_str());
}

// Dragging with the real pointer: the login picture anywhere outside the web window moves the login screen, and the
// web window goes with it; the game window moves by its title band once it is restored, never while it is maximised.
TEST(ClientWindows, DraggingWithThePointer)
{
    CClient client;
    ASSERT_TRUE(client.Started());
    Settle(client.Main());
    const RECT main = WindowRect(client.Main());
    const RECT web = WindowRect(client.Web());
    // A point of the picture left of the web window, inside the arch.
    const POINT grip = {main.left + 160, (web.top + web.bottom) / 2};
    ASSERT_TRUE(Drag(grip, POINT{grip.x + 60, grip.y + 40}));
    EXPECT_TRUE(WaitFor([&] { return WindowRect(client.Main()).left == main.left + 60; }))
        << Text(WindowRect(client.Main()));
    EXPECT_EQ(main.top + 40, WindowRect(client.Main()).top);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(client.Web()).left == web.left + 60; }));
    EXPECT_EQ(web.top + 40, WindowRect(client.Web()).top);

    // The game window, maximised: its title band does not move it.
    ASSERT_TRUE(client.PostToWeb(WM_GAME_PAGE_LOADED,
                                 [&] { return !(::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_LAYERED); }));
    Settle(client.Web());
    const RECT maximised = WindowRect(client.Web());
    const POINT band = {maximised.left + 450, maximised.top + 12};
    ASSERT_TRUE(Drag(band, POINT{band.x + 50, band.y + 30}));
    Settle(client.Web());
    EXPECT_TRUE(Same(maximised, WindowRect(client.Web()))) << Text(WindowRect(client.Web()));

    // Restored, it does, and the small main window stays under its corner.
    Click(client.Web(), IDC_BTN_MAX);
    ASSERT_TRUE(HandledSoFar(client.Web()));
    Settle(client.Web()); // on a small screen the restored window may keep the maximised one's place and size
    const RECT restored = WindowRect(client.Web());
    if (restored.right - restored.left >= ::GetSystemMetrics(SM_CXSCREEN) &&
        restored.bottom - restored.top >= ::GetSystemMetrics(SM_CYSCREEN))
    {
        // Restored to the whole screen (a small one): Wine makes that a full-screen window, which the window manager
        // here keeps in place, where Windows would let it move. Nothing more to see on this screen.
        return;
    }
    const POINT title = {restored.left + 450, restored.top + 12};
    ASSERT_TRUE(Drag(title, POINT{title.x - 50, title.y + 30}));
    EXPECT_TRUE(WaitFor([&] { return WindowRect(client.Web()).left == restored.left - 50; }))
        << Text(WindowRect(client.Web()));
    EXPECT_EQ(restored.top + 30, WindowRect(client.Web()).top);
    EXPECT_TRUE(WaitFor([&] { return WindowRect(client.Main()).left == restored.left - 50; }));
}

// Enter pressed on the keyboard while the login screen has the focus does nothing: the client keeps running.
TEST(ClientWindows, EnterOnTheMainWindowDoesNothing)
{
    CClient client;
    ASSERT_TRUE(client.Started());
    // Asked again until it holds: the web window, shown after the main window, may take the foreground after the
    // first request.
    ASSERT_TRUE(WaitFor(
        [&]
        {
            if (::GetForegroundWindow() == client.Main())
                return true;
            ::SetForegroundWindow(client.Main());
            return false;
        }))
        << "the main window never came to the foreground";
    ASSERT_TRUE(UserInput(L"key --clearmodifiers Return sleep 0.5"));
    DWORD code = 0;
    EXPECT_FALSE(client.Ended(code, 500)) << "ended with " << code;
    EXPECT_TRUE(::IsWindowVisible(client.Main()));
    EXPECT_TRUE(::IsWindowVisible(client.Web()));
}
