// The game web window in this process, made as the application makes it (with the main window as its owner), with
// the client's own resources: the switches between the layouts, maximising, hit-testing, the frame and the buttons.
// Runs on a large screen and on one lower than the login picture.
#include "tests/support/WindowFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "config/TextResource.h"
#include "framework/OccManager.h"
#include "framework/Rects.h"
#include "framework/Scoped.h"
#include "framework/Text.h"
#include "framework/WinApp.h"
#include "mainwnd/GameDlg.h"
#include "mainwnd/core/MainLayout.h"
#include "mainwnd/core/ScreenSizeTable.h"
#include "res/resource.h"
#include "skin/LockedPixels.h"
#include "skin/SkinFrame.h"
#include "tests/support/UserInput.h"
#include "tests/support/DebugOutput.h"
#include "tests/doubles/OccTestControl.h"
#include "tests/support/PumpUntil.h"
#include "skin/ResourceImage.h"

// The application object of these tests: message boxes take its name as their caption.
CWinApp g_testApp("GameWindowTests");

// How a failed comparison shows a button's pictures (found by gtest through the type's own namespace).
std::ostream& operator<<(std::ostream& out, const ButtonImages& images)
{
    return out << "{" << images.normal << ", " << images.pressed << ", " << images.hover << "}";
}

namespace
{

bool SameImages(const ButtonImages& a, const ButtonImages& b)
{
    return a.normal == b.normal && a.pressed == b.pressed && a.hover == b.hover;
}

} // namespace

TEST_F(GameWindow, GameLayoutMaximisingAndBack)
{
    ToGame();
    ASSERT_TRUE(Dialog().IsGameLayout());
    EXPECT_TRUE(m_dlg.IsGameMode());

    // Opaque, in the work area (or the minimum cut to it), the main window 10 x 10 under its corner.
    EXPECT_FALSE(IsLayered(Web()));
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_FALSE(::GetLayeredWindowAttributes(Web(), &key, &alpha, &flags) && flags != 0);
    const RECT placed = ToRECT(PlaceWebWindow(ToRect(Work()), ToRect(Work()), ToRect(Minimum()), true));
    EXPECT_TRUE(Same(placed, WindowRect(Web()))) << WindowRect(Web());
    EXPECT_TRUE(Same(RECT{placed.left, placed.top, placed.left + 10, placed.top + 10}, WindowRect(Main())))
        << WindowRect(Main());

    // The title-bar buttons at their places, anchored to the right edge; the browser 30 below the top, 3 from the
    // other edges.
    RECT client;
    ::GetClientRect(Web(), &client);
    for (const ButtonPlace& b : kGameButtons)
    {
        SCOPED_TRACE(b.name);
        HWND button = ::GetDlgItem(Web(), b.id);
        EXPECT_TRUE(::IsWindowVisible(button));
        EXPECT_TRUE(Same(ToRECT(ButtonRect(*m_dlg.FindLayout(b.name), ToRect(client))), ChildRect(button)))
            << ChildRect(button);
    }
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(Web(), IDC_BTN_REGIST)));
    EXPECT_TRUE(Same(RECT{3, 30, client.right - 3, client.bottom - 3}, ChildRect(::GetDlgItem(Web(), IDC_BROWSER))));

    // Never smaller than the minimum rectangle.
    MINMAXINFO info = {};
    ::SendMessageW(Web(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(1000, info.ptMinTrackSize.x);
    EXPECT_EQ(580, info.ptMinTrackSize.y);

    // Again: only the main window goes back to 10, 10.
    ToGame();
    EXPECT_TRUE(Same(RECT{10, 10, 20, 20}, WindowRect(Main()))) << WindowRect(Main());
    EXPECT_TRUE(Same(placed, WindowRect(Web())));

    // Maximised: the title band neither drags nor resizes.
    EXPECT_EQ(HTCLIENT, ::SendMessageW(Web(), WM_NCHITTEST, 0, MAKELPARAM(placed.left + 1, placed.bottom - 1)));

    // A double click in the title band restores the maximised window to the restore rectangle, placed in the work
    // area; another maximises it again.
    const RECT restore = Dialog().RestoreRect();
    const MaximiseToggle toggle = ToggleMaximisedRects(false, ToRect(Work()), ToRect(placed), ToRect(restore));
    const RECT restored = ToRECT(PlaceWebWindow(toggle.requested, ToRect(Work()), ToRect(Minimum()), true));
    ::SendMessageW(Web(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 10));
    EXPECT_FALSE(Dialog().IsMaximised());
    EXPECT_TRUE(Same(restored, WindowRect(Web()))) << WindowRect(Web());
    ::SendMessageW(Web(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 10));
    EXPECT_TRUE(Dialog().IsMaximised());
    EXPECT_TRUE(Same(placed, WindowRect(Web()))) << WindowRect(Web());

    // The Max button does the same.
    const RECT again = ToRECT(PlaceWebWindow(
        ToggleMaximisedRects(false, ToRect(Work()), ToRect(placed), ToRect(Dialog().RestoreRect())).requested,
        ToRect(Work()), ToRect(Minimum()), true));
    ::SendMessageW(::GetDlgItem(Web(), IDC_BTN_MAX), BM_CLICK, 0, 0);
    EXPECT_FALSE(Dialog().IsMaximised());
    EXPECT_TRUE(Same(again, WindowRect(Web()))) << WindowRect(Web());
    EXPECT_TRUE(Same(placed, Dialog().RestoreRect()));

    // Restored: resize strips around the browser, the title band left to the default (a caption drag).
    RECT browser = WindowRect(::GetDlgItem(Web(), IDC_BROWSER));
    struct Case
    {
        POINT point;
        LRESULT code;
    } const cases[] = {
        {{browser.left - 1, (browser.top + browser.bottom) / 2}, HTLEFT},
        {{browser.right + 1, (browser.top + browser.bottom) / 2}, HTRIGHT},
        {{(browser.left + browser.right) / 2, browser.bottom + 1}, HTBOTTOM},
        {{browser.right + 1, browser.bottom + 1}, HTBOTTOMRIGHT},
        {{browser.left - 1, browser.bottom + 1}, HTLEFT},
        {{(browser.left + browser.right) / 2, (browser.top + browser.bottom) / 2}, HTCLIENT},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.point.x << ", " << c.point.y);
        EXPECT_EQ(c.code, ::SendMessageW(Web(), WM_NCHITTEST, 0, MAKELPARAM(c.point.x, c.point.y)));
    }
    // Over the title band the platform answers (client or caption, never a border).
    const LRESULT title = ::SendMessageW(Web(), WM_NCHITTEST, 0, MAKELPARAM(browser.left + 200, browser.top - 10));
    EXPECT_TRUE(title == HTCLIENT || title == HTCAPTION) << title;

    // A double click in the title band maximises again.
    ::SendMessageW(Web(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 10));
    EXPECT_TRUE(Dialog().IsMaximised());
    EXPECT_TRUE(Same(placed, WindowRect(Web()))) << WindowRect(Web());

    // Another web address in the game layout: the web window is made anew in the login layout.
    const HWND before = Web();
    ::PostMessageW(Web(), WM_WEB_PAGE_LOADED, 0, 0);
    Pump();
    EXPECT_FALSE(::IsWindow(before));
    ASSERT_TRUE(::IsWindow(Web()));
    EXPECT_FALSE(Dialog().IsGameLayout());
    EXPECT_FALSE(m_dlg.IsGameMode());
    EXPECT_TRUE(IsLayered(Web()));
    EXPECT_TRUE(IsLayered(Main()));
    EXPECT_TRUE(Dialog().IsMaximised());
    EXPECT_EQ(-2, Dialog().SoundOnPoint().y);
    const RECT picture = ToRECT(PlaceLoginWindow(1024, 700, ::GetSystemMetrics(SM_CXSCREEN),
                                                 ::GetSystemMetrics(SM_CYSCREEN), m_dlg.FindLayout("DlgWeb"))
                                    .picture);
    EXPECT_TRUE(
        Same(RECT{picture.left + 320, picture.top + 188, picture.left + 1004, picture.top + 578}, WindowRect(Web())));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(Web(), IDC_BTN_MAX)));
}

TEST_F(GameWindow, GameRepaintDrawsFrameTitleAndCentre)
{
    ToGame();
    HWND browser = ::GetDlgItem(Web(), IDC_BROWSER);
    ::RedrawWindow(Web(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const RECT window = WindowRect(Web());
    {
        const CScreenShot shot(window);
        // The frame's top-left piece (image 151) at its own size in the corner (within the rounding of its
        // drawing and blending), left of the icon button that stands from x = 5.
        std::unique_ptr<Gdiplus::Bitmap> corner = LoadResourceImage(151, "PNG");
        ASSERT_TRUE(corner);
        int differing = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 5; ++x)
            {
                Gdiplus::Color expected;
                corner->GetPixel(x, y, &expected);
                const DWORD shown = shot.At(window.left + x, window.top + y);
                differing += std::abs(expected.GetR() - static_cast<int>((shown >> 16) & 0xFF)) > 6 ||
                                     std::abs(expected.GetG() - static_cast<int>((shown >> 8) & 0xFF)) > 6 ||
                                     std::abs(expected.GetB() - static_cast<int>(shown & 0xFF)) > 6
                                 ? 1
                                 : 0;
            }
        EXPECT_EQ(0, differing) << "pixels of the corner piece";
        // The title in white at its place; nothing key-blue anywhere.
        const LayoutRect* title = m_dlg.FindLayout("WebTitle_L");
        ASSERT_NE(nullptr, title);
        const RECT band = {window.left + title->x, window.top + title->y, window.left + title->x + 200,
                           window.top + title->y + title->h};
        EXPECT_GT(shot.Count(band, [](DWORD p) { return (p & 0xF0F0F0) == 0xF0F0F0; }), 20) << "the title text";
        EXPECT_EQ(0, shot.Count(window, IsKeyBlue));
    }

    // Where no browser covers it, the centre is painted black: what was there before (here the key colour) goes.
    RECT centre = WindowRect(browser);
    HDC dc = ::GetDC(browser);
    const RECT all = {0, 0, centre.right - centre.left, centre.bottom - centre.top};
    HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255));
    ::FillRect(dc, &all, blue);
    ::DeleteObject(blue);
    ::ReleaseDC(browser, dc);
    ::ShowWindow(browser, SW_HIDE);
    ::RedrawWindow(Web(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump();
    ::InflateRect(&centre, -6, -6); // inside the frame's pieces on every side
    const CScreenShot shot(window);
    EXPECT_EQ(0, shot.Count(window, IsKeyBlue));
    EXPECT_EQ((centre.right - centre.left) * (centre.bottom - centre.top),
              shot.Count(centre, [](DWORD p) { return p == 0; }));
}

TEST_F(GameWindow, RestoredGameWindowsEdgesShowSizingCursorsToThePointer)
{
    ToGame();
    ::SendMessageW(::GetDlgItem(Web(), IDC_BTN_MAX), BM_CLICK, 0, 0);
    ASSERT_FALSE(Dialog().IsMaximised());
    ::SetForegroundWindow(Web());
    Pump(300);
    const RECT browser = WindowRect(::GetDlgItem(Web(), IDC_BROWSER));
    const RECT window = WindowRect(Web());
    const int middleX = (browser.left + browser.right) / 2, middleY = (browser.top + browser.bottom) / 2;
    struct Case
    {
        const char* where;
        POINT point;
        LPCSTR cursor; // a predefined cursor's id
    } const cases[] = {
        {"left strip", {browser.left - 1, middleY}, IDC_SIZEWE},
        {"right strip", {browser.right + 1, middleY}, IDC_SIZEWE},
        {"bottom strip", {middleX, browser.bottom + 1}, IDC_SIZENS},
        {"bottom-right corner", {browser.right + 1, browser.bottom + 1}, IDC_SIZENWSE},
        {"bottom-left corner (the left edge)", {browser.left - 1, browser.bottom + 1}, IDC_SIZEWE},
        {"title band", {window.left + 450, window.top + 12}, IDC_ARROW},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.where);
        // The real pointer moves there: the window answers the hit test, then sets the cursor for it.
        ASSERT_TRUE(UserInput(At(c.point)));
        const HCURSOR expected = ::LoadCursorA(nullptr, c.cursor);
        EXPECT_TRUE(PumpUntil([&] { return ::GetCursor() == expected; })) << "the cursor did not change";
    }

    // A press in the title band hands the window to the system's caption drag while restored; maximised, it does not.
    for (bool maximised : {false, true})
    {
        SCOPED_TRACE(maximised ? "maximised" : "restored");
        if (maximised)
            ::SendMessageW(::GetDlgItem(Web(), IDC_BTN_MAX), BM_CLICK, 0, 0);
        ASSERT_EQ(maximised, Dialog().IsMaximised());
        Pump();
        ::SendMessageW(Web(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(450, 12));
        MSG posted = {};
        const bool drag = ::PeekMessageW(&posted, Web(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE) != FALSE;
        ::SendMessageW(Web(), WM_LBUTTONUP, 0, MAKELPARAM(450, 12));
        EXPECT_EQ(!maximised, drag);
        if (drag)
        {
            EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), posted.wParam);
        }
    }
}

TEST_F(GameWindow, ControlsOfBothWindowsGetATransparentBackground)
{
    // Whatever kind of control asks, and in both windows: the hollow stock brush, and a transparent background mode.
    HDC dc = ::CreateCompatibleDC(nullptr);
    const struct
    {
        HWND window;
        HWND control;
    } windows[] = {{Main(), ::GetDlgItem(Main(), 1008)}, {Web(), ::GetDlgItem(Web(), IDC_BTN_OFFICIAL)}};
    for (const auto& w : windows)
        for (UINT message : {WM_CTLCOLORBTN, WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT, WM_CTLCOLORDLG, WM_CTLCOLORLISTBOX})
        {
            SCOPED_TRACE(testing::Message() << (w.window == Main() ? "main window, " : "web window, ") << message);
            ::SetBkMode(dc, OPAQUE);
            const LRESULT brush =
                ::SendMessageW(w.window, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w.control));
            EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)), brush);
            EXPECT_EQ(TRANSPARENT, ::GetBkMode(dc));
        }
    ::DeleteDC(dc);
}

namespace
{

// The two windows with a browser control that refuses every address: the test's own control in the browser's place.
class RefusedNavigation : public GameWindow
{
protected:
    bool HasRealBrowser() const override { return false; }
    void SetUp() override
    {
        ASSERT_EQ(S_OK, occtest::RegisterAsBrowser(true));
        GameWindow::SetUp();
    }
    void TearDown() override
    {
        GameWindow::TearDown();
        occtest::RevokeBrowser();
    }
};

} // namespace

TEST_F(RefusedNavigation, BothLayoutsAreRightAndNoKeyBlueShows)
{
    // The control was asked for the start address, and refused it.
    ASSERT_NE(nullptr, occtest::LastControl());
    EXPECT_EQ(occtest::kDispNavigate, occtest::LastControl()->m_lastCall.dispid);

    // The login layout all the same: layered with the key, no taskbar button, every button at its place.
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(Web(), &key, &alpha, &flags));
    EXPECT_EQ(RGB(0, 0, 255), key);
    EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY), flags);
    EXPECT_EQ(0, ::GetWindowLongW(Web(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    for (const ButtonPlace& b : kLoginButtons)
        EXPECT_TRUE(Same(ToRECT(RectOfLayout(*m_dlg.FindLayout(b.name))), ChildRect(::GetDlgItem(Web(), b.id))))
            << b.name;
    ::RedrawWindow(Web(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    EXPECT_EQ(0, CScreenShot(WindowRect(Web())).Count(WindowRect(Web()), IsKeyBlue)) << "login layout";

    // The game layout: opaque, with its frame drawn.
    ToGame();
    ASSERT_TRUE(Dialog().IsGameLayout());
    EXPECT_FALSE(IsLayered(Web()));
    ::RedrawWindow(Web(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const RECT window = WindowRect(Web());
    const CScreenShot shot(window);
    EXPECT_EQ(0, shot.Count(window, IsKeyBlue)) << "game layout";
    const RECT titleBand = {window.left + 300, window.top, window.left + 500, window.top + 30};
    EXPECT_EQ(0, shot.Count(titleBand, [](DWORD p) { return p == 0; })) << "the frame behind the title";
}

// Every button's pictures, read from the button itself, in each layout and state the web window takes: the table
// is written out here in full, not taken from the window's own.
TEST_F(GameWindow, EveryButtonHasThePicturesOfItsLayoutAndState)
{
    struct Row
    {
        int id;
        const char* name;
        ButtonImages login, gameMaximised, gameRestored;
    } const rows[] = {
        {IDC_BTN_EXIT, "Exit", {133, 134, 135}, {169, 170, 171}, {169, 170, 171}},
        {IDC_BTN_MIN, "Min", {142, 143, 144}, {172, 173, 174}, {172, 173, 174}},
        {IDC_BTN_MAX, "Max (the restore picture while maximised)", {179, 180, 181}, {179, 180, 181}, {175, 176, 177}},
        {IDC_BTN_ICON, "Icon", {178, 0, 0}, {178, 0, 0}, {178, 0, 0}},
        {IDC_BTN_OFFICIAL, "Official", {136, 137, 138}, {215, 216, 217}, {215, 216, 217}},
        {IDC_BTN_FORUM, "Forum", {148, 149, 150}, {212, 213, 214}, {212, 213, 214}},
        {IDC_BTN_PAY, "Pay", {130, 131, 132}, {206, 207, 208}, {206, 207, 208}},
        {IDC_BTN_CUSTOM, "Custom", {139, 140, 141}, {209, 210, 211}, {209, 210, 211}},
        {IDC_BTN_REFRESH, "Refresh", {191, 192, 193}, {191, 192, 193}, {191, 192, 193}},
        {IDC_BTN_CLEAR, "Clear", {194, 195, 196}, {194, 195, 196}, {194, 195, 196}},
        {IDC_BTN_REGIST, "Regist (never laid out)", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {IDC_BTN_VOLUME, "Volume (never laid out)", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    };
    enum State
    {
        Login,
        GameMaximised,
        GameRestored,
        GameMaximisedAgain
    };
    for (State state : {Login, GameMaximised, GameRestored, GameMaximisedAgain})
    {
        SCOPED_TRACE(state);
        if (state == GameMaximised)
            ToGame();
        if (state == GameRestored || state == GameMaximisedAgain)
            ::SendMessageW(::GetDlgItem(Web(), IDC_BTN_MAX), BM_CLICK, 0, 0);
        ASSERT_EQ(state != Login, Dialog().IsGameLayout());
        ASSERT_EQ(state != GameRestored, Dialog().IsMaximised());
        for (const Row& row : rows)
        {
            SCOPED_TRACE(row.name);
            const CMyBitmapButton* button = ButtonOf(Web(), row.id);
            ASSERT_NE(nullptr, button);
            const ButtonImages& expected = state == Login          ? row.login
                                           : state == GameRestored ? row.gameRestored
                                                                   : row.gameMaximised;
            EXPECT_TRUE(SameImages(expected, button->Images()))
                << "expected " << expected << ", got " << button->Images();
        }
    }
}

// The title stands on the frame: between its letters the title band shows the frame's own pixels, not a box.
TEST_F(GameWindow, TheGameWindowsTitleHasNoBoxBehindIt)
{
    ToGame();
    ::RedrawWindow(Web(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    RECT client;
    ::GetClientRect(Web(), &client);
    // The frame alone, as the window paints it before the title.
    CDibSurface frame;
    ASSERT_TRUE(frame.Create(client.right, client.bottom));
    CSkinFrame skin;
    skin.SetFrames(m_dlg.Frames("Toolbar"));
    ASSERT_TRUE(skin.Paint(frame, client.right, client.bottom));

    // The title's box: where the paint context's font puts its text.
    const LayoutRect* title = m_dlg.FindLayout("WebTitle_L");
    ASSERT_NE(nullptr, title);
    const std::wstring text = AfxWide(Dialog().TitleText().c_str());
    SIZE extent = {};
    HDC dc = ::GetDC(Web());
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::ReleaseDC(Web(), dc);
    ASSERT_GT(extent.cx, 10);
    const RECT window = WindowRect(Web());
    const RECT box = {window.left + title->x, window.top + title->y, window.left + title->x + extent.cx,
                      window.top + title->y + extent.cy};
    const CScreenShot shot(box);
    int letters = 0, frameShows = 0, neither = 0;
    for (LONG y = box.top; y < box.bottom; ++y)
        for (LONG x = box.left; x < box.right; ++x)
        {
            const DWORD shown = shot.At(x, y);
            const DWORD own = frame.Pixels().Row(y - window.top)[x - window.left] & 0xFFFFFF;
            // A letter's pixel is white, or on its edges the frame blended toward white.
            bool lighter = true;
            for (int shift = 0; shift < 24; shift += 8)
                lighter = lighter && ((shown >> shift) & 0xFF) + 2 >= ((own >> shift) & 0xFF);
            if (Near(own, shown))
                ++frameShows;
            else if (lighter)
                ++letters;
            else
                ++neither;
        }
    const int all = (box.right - box.left) * (box.bottom - box.top);
    EXPECT_GT(letters, 20) << "the title's letters";
    EXPECT_GT(frameShows, all / 2) << "the frame between the letters";
    EXPECT_EQ(0, neither) << "pixels that are neither the letters nor the frame";
}

// The pointer resting on a button changes what the button shows on the screen, and leaving it changes it back.
TEST_F(GameWindow, ThePointerOnAButtonChangesWhatItShows)
{
    HWND pay = ::GetDlgItem(Web(), IDC_BTN_PAY);
    const CMyBitmapButton* button = ButtonOf(Web(), IDC_BTN_PAY);
    ASSERT_NE(nullptr, button);
    ::RedrawWindow(Web(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const RECT r = WindowRect(pay);
    const auto differing = [&](const CScreenShot& a, const CScreenShot& b)
    {
        int count = 0;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                count += Near(a.At(x, y), b.At(x, y)) ? 0 : 1;
        return count;
    };
    const CScreenShot before(r);

    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::SendMessageW(pay, WM_MOUSEMOVE, 0, MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2));
    ASSERT_TRUE(PumpUntil([&] { return button->IsHovering(); })) << "no hover once the pointer rested";
    ::UpdateWindow(pay);
    EXPECT_GT(differing(before, CScreenShot(r)), (r.right - r.left) * (r.bottom - r.top) / 10)
        << "the hover picture on the screen";

    const RECT panel = WindowRect(Web());
    ::SetCursorPos(panel.left + 200, panel.top + 200); // on the panel, off the button
    ASSERT_TRUE(PumpUntil([&] { return !button->IsHovering(); })) << "no leave";
    ::UpdateWindow(pay);
    EXPECT_EQ(0, differing(before, CScreenShot(r))) << "the normal picture again";
}

// A resize that keeps the width fits the frame again: its bottom edge goes to the new bottom.
TEST_F(GameWindow, TheFrameFollowsAHeightOnlyResize)
{
    ToGame();
    ::SendMessageW(::GetDlgItem(Web(), IDC_BTN_MAX), BM_CLICK, 0, 0);
    ASSERT_FALSE(Dialog().IsMaximised());
    Pump();
    const RECT before = WindowRect(Web());
    const int width = before.right - before.left, height = before.bottom - before.top - 16;
    ::SetWindowPos(Web(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(Web(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const RECT after = WindowRect(Web());
    ASSERT_EQ(width, after.right - after.left);
    ASSERT_EQ(height, after.bottom - after.top) << "the window did not take the new height";

    // The frame fitted to the new size, as a new frame paints it.
    CDibSurface frame;
    ASSERT_TRUE(frame.Create(width, height));
    CSkinFrame skin;
    skin.SetFrames(m_dlg.Frames("Toolbar"));
    ASSERT_TRUE(skin.Paint(frame, width, height));
    // The bottom band, left of the browser's edge to right of it: 3 rows under the browser.
    const CScreenShot shot(after);
    int differing = 0;
    for (int y = height - 3; y < height; ++y)
        for (int x = 0; x < width; ++x)
            differing += Near(frame.Pixels().Row(y)[x] & 0xFFFFFF, shot.At(after.left + x, after.top + y)) ? 0 : 1;
    EXPECT_EQ(0, differing) << "pixels of the bottom edge";
}

// A Refresh the control refuses is swallowed: the user sees nothing, and a developer reads on the debugger's channel
// which message failed and with which HRESULT.
TEST_F(RefusedNavigation, AFailingRefreshIsSwallowedAndSaysWhatFailed)
{
    const std::string said =
        DebugOutputDuring([&] { ::SendMessageW(Web(), WM_COMMAND, MAKEWPARAM(IDC_BTN_REFRESH, BN_CLICKED), 0); });
    EXPECT_NE(std::string::npos, said.find("the handler of message 0x0111 (wParam 0x3F4) threw COleDispatchException, "
                                           "HRESULT 0x80070005 (refused)"))
        << said;
    EXPECT_TRUE(::IsWindowVisible(Web()));
    EXPECT_FALSE(Dialog().IsGameLayout());
}
