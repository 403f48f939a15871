// The login screen in the test's own process, made as the application makes it (the main window with the web window
// over it), with the client's own resources: its layout, the login picture it pushes and what the screen shows of it
// and of the panel. Runs on a large screen, and on screens lower and narrower than the picture.
#include "tests/support/WindowFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/Pixels.h"
#include "framework/Rects.h"
#include "framework/WinApp.h"
#include "mainwnd/GameDlg.h"
#include "mainwnd/core/MainLayout.h"
#include "res/resource.h"
#include "skin/LockedPixels.h"
#include "skin/ResourceImage.h"

// The application object of these tests: message boxes take its name as their caption.
CWinApp g_testApp("LoginScreenTests");

namespace
{

class LoginScreen : public GameWindow
{
};

// The login picture the main window pushes, as the screen shows its opaque pixels: 0x00RRGGBB at a screen point, or
// ~0u where the picture is not opaque (there the screen shows what lies behind as well).
class CPushedPicture
{
public:
    explicit CPushedPicture(CGameDlg& dlg) : m_window(WindowRect(dlg.m_hWnd))
    {
        m_ok = dlg.ComposeLoginPicture(m_window.right - m_window.left, m_window.bottom - m_window.top, m_surface);
    }
    bool Ok() const { return m_ok; }
    DWORD At(int x, int y) const
    {
        if (x < m_window.left || y < m_window.top || x >= m_window.right || y >= m_window.bottom)
            return ~0u;
        const uint32_t pixel = m_surface.Pixels().Row(y - m_window.top)[x - m_window.left];
        return pixel >> 24 == 255 ? pixel & 0xFFFFFF : ~0u;
    }

private:
    RECT m_window;
    CDibSurface m_surface;
    bool m_ok = false;
};

} // namespace

TEST_F(LoginScreen, Layout)
{
    wchar_t title[64] = {};
    ::GetWindowTextW(Main(), title, 64);
    EXPECT_EQ(LoadWide(IDS_APP_TITLE), title);

    // The main window: the picture's size cut to the screen, centred, layered.
    const LoginPlacement place = PlaceLoginWindow(1024, 700, ::GetSystemMetrics(SM_CXSCREEN),
                                                  ::GetSystemMetrics(SM_CYSCREEN), m_dlg.FindLayout("DlgWeb"));
    const RECT main = ToRECT(place.window), picture = ToRECT(place.picture);
    EXPECT_TRUE(Same(main, WindowRect(Main()))) << WindowRect(Main());
    EXPECT_TRUE(IsLayered(Main()));
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(::SendMessageW(Main(), WM_GETICON, ICON_BIG, 0)));

    // The web window at its offset in the picture, layered with the blue key, owned by the main window, no taskbar
    // button.
    const RECT web = {picture.left + 320, picture.top + 188, picture.left + 320 + 684, picture.top + 188 + 390};
    EXPECT_TRUE(Same(web, WindowRect(Web()))) << WindowRect(Web());
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(Web(), &key, &alpha, &flags));
    EXPECT_EQ(RGB(0, 0, 255), key);
    EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY), flags);
    EXPECT_EQ(Main(), ::GetWindow(Web(), GW_OWNER));
    EXPECT_EQ(0, ::GetWindowLongW(Web(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(::IsWindowVisible(Web()));

    // Its state after initialisation.
    EXPECT_FALSE(Dialog().IsGameLayout());
    EXPECT_TRUE(Dialog().IsMaximised());
    EXPECT_TRUE(Dialog().IsSoundOn());
    EXPECT_EQ(-1, Dialog().SoundOnPoint().x);
    EXPECT_EQ(-2, Dialog().SoundOnPoint().y);
    EXPECT_EQ(-1, Dialog().SoundOffPoint().x);
    EXPECT_EQ(-1, Dialog().SoundOffPoint().y);
    EXPECT_EQ(AfxLoadString(IDS_WEB_TITLE), Dialog().TitleText());
    const Rect work = ToRect(Work());
    const RECT restore = ToRECT(ComputeRestoreRect(work, m_dlg.LookupScreenSize(work.Width(), true),
                                                   m_dlg.LookupScreenSize(work.Height(), false)));
    EXPECT_TRUE(Same(restore, Dialog().RestoreRect())) << Dialog().RestoreRect();

    // The large link buttons and the two small ones at their rectangles, the rest hidden; the browser with a
    // 130-pixel column at its right and 50 pixels below it, shown with the client's own page (no server can be
    // reached here: GameWindow::SetUp).
    for (const ButtonPlace& b : kLoginButtons)
    {
        SCOPED_TRACE(b.name);
        HWND button = ::GetDlgItem(Web(), b.id);
        EXPECT_TRUE(::IsWindowVisible(button));
        EXPECT_TRUE(Same(ToRECT(RectOfLayout(*m_dlg.FindLayout(b.name))), ChildRect(button))) << ChildRect(button);
    }
    for (int id : {IDC_BTN_MAX, IDC_BTN_ICON, IDC_BTN_REFRESH, IDC_BTN_CLEAR, IDC_BTN_REGIST, IDC_BTN_VOLUME})
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(Web(), id))) << id;
    HWND browser = ::GetDlgItem(Web(), IDC_BROWSER);
    ASSERT_TRUE(::IsWindow(browser));
    EXPECT_TRUE(::IsWindowVisible(browser));
    EXPECT_TRUE(Same(RECT{0, 30, 684 - 130, 390 - 50}, ChildRect(browser))) << ChildRect(browser);

    // Moving the main window carries the web window along.
    ::SetWindowPos(Main(), nullptr, main.left - 100, main.top + 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Same(RECT{web.left - 100, web.top + 50, web.right - 100, web.bottom + 50}, WindowRect(Web())));

    // A completed page changes nothing more.
    ::PostMessageW(Web(), WM_WEB_PAGE_LOADED, 0, 0);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(browser));
    EXPECT_FALSE(Dialog().IsGameLayout());

    // Enter, Escape and a close request leave the web window as it is.
    ::SendMessageW(Web(), WM_COMMAND, IDOK, 0);
    ::SendMessageW(Web(), WM_COMMAND, IDCANCEL, 0);
    ::SendMessageW(Web(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(Web()));
}

TEST_F(LoginScreen, LoginPictureIsPremultipliedShapeAndColour)
{
    // At the window's size: the picture's own on a large screen, the part of it on a small one.
    RECT client;
    ::GetClientRect(Main(), &client);
    const int width = client.right, height = client.bottom;
    CDibSurface surface;
    ASSERT_TRUE(m_dlg.ComposeLoginPicture(width, height, surface));
    ASSERT_EQ(width, surface.Width());
    ASSERT_EQ(height, surface.Height());
    const LoginPlacement place = PlaceLoginWindow(1024, 700, ::GetSystemMetrics(SM_CXSCREEN),
                                                  ::GetSystemMetrics(SM_CYSCREEN), m_dlg.FindLayout("DlgWeb"));
    const int left = place.window.left - place.picture.left, top = place.window.top - place.picture.top;

    std::unique_ptr<Gdiplus::Bitmap> shape = LoadResourceImage(129, "PNG");
    std::unique_ptr<Gdiplus::Bitmap> colour = LoadResourceImage(205, "JPG");
    ASSERT_TRUE(shape && colour);

    const PixelView pixels = surface.Pixels();
    int transparent = 0, opaque = 0, partial = 0;
    for (int y = 0; y < height; y += 3)
    {
        for (int x = 0; x < width; x += 3)
        {
            const uint32_t got = pixels.Row(y)[x];
            const uint32_t a = got >> 24;
            // Premultiplied: no channel above the alpha.
            for (int k = 0; k < 3; ++k)
                ASSERT_LE((got >> (8 * k)) & 0xFF, a) << x << ", " << y;
            a == 0 ? ++transparent : a == 255 ? ++opaque : ++partial;
            // Every pixel is image 129's alpha over image 205's colour (within rounding), at its place in them.
            Gdiplus::Color s, c;
            shape->GetPixel(left + x, top + y, &s);
            colour->GetPixel(left + x, top + y, &c);
            ASSERT_EQ(static_cast<uint32_t>(s.GetA()), a) << x << ", " << y;
            const uint32_t expected[3] = {c.GetB() * a / 255, c.GetG() * a / 255, c.GetR() * a / 255};
            for (int k = 0; k < 3; ++k)
                ASSERT_NEAR(static_cast<int>(expected[k]), static_cast<int>((got >> (8 * k)) & 0xFF), 1)
                    << x << ", " << y << " channel " << k;
        }
    }
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);
    EXPECT_GT(partial, 0);
    // The picture's corners lie outside the arch and the panel.
    if (left == 0 && top == 0)
    {
        EXPECT_EQ(0u, pixels.Row(0)[0]);
    }
    if (left + width == 1024 && top + height == 700)
    {
        EXPECT_EQ(0u, pixels.Row(height - 1)[width - 1] >> 24);
    }

    // What it costs: the figure, never a limit.
    const auto start = std::chrono::steady_clock::now();
    const int rounds = 5;
    for (int i = 0; i < rounds; ++i)
        m_dlg.ComposeLoginPicture(width, height, surface);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / rounds;
    std::printf("one login picture (%d x %d): %.1f ms\n", width, height, ms);
}

// The layered window keeps the picture it was given: the client holds nothing of it once pushed, at the start, after
// a composition and on the way back from the game, and each composition decodes it anew, the same pixels each time.
TEST_F(LoginScreen, TheLoginPictureIsLetGoOncePushedAndMadeTheSameAnew)
{
    RECT client;
    ::GetClientRect(Main(), &client);
    EXPECT_FALSE(m_dlg.HoldsLoginPicture()) << "pushed at the start";
    CDibSurface before;
    ASSERT_TRUE(m_dlg.ComposeLoginPicture(client.right, client.bottom, before));
    EXPECT_FALSE(m_dlg.HoldsLoginPicture());

    ToGame();
    EXPECT_FALSE(m_dlg.HoldsLoginPicture()) << "the game does not show it";
    ::PostMessageW(Web(), WM_WEB_PAGE_LOADED, 0, 0);
    Pump();
    ASSERT_FALSE(m_dlg.IsGameMode());
    EXPECT_FALSE(m_dlg.HoldsLoginPicture()) << "made anew on the way back, pushed and let go";
    CDibSurface after;
    ASSERT_TRUE(m_dlg.ComposeLoginPicture(client.right, client.bottom, after));
    ASSERT_EQ(before.Width(), after.Width());
    ASSERT_EQ(before.Height(), after.Height());
    int differing = 0;
    for (int y = 0; y < before.Height(); ++y)
        for (int x = 0; x < before.Width(); ++x)
            differing += before.Pixels().Row(y)[x] != after.Pixels().Row(y)[x] ? 1 : 0;
    EXPECT_EQ(0, differing);
}

TEST_F(LoginScreen, PushingThePictureLeavesAPendingPaintPending)
{
    // The login picture is also composed and pushed from SetGameMode, outside WM_PAINT: only the paint itself may
    // validate the window, or a repaint asked for meanwhile would be lost.
    Pump();
    RECT pending = {};
    ::InvalidateRect(Main(), nullptr, FALSE);
    m_dlg.SetGameMode(false);
    EXPECT_TRUE(::GetUpdateRect(Main(), &pending, FALSE));
    Pump();
    EXPECT_FALSE(::GetUpdateRect(Main(), &pending, FALSE)) << "the paint came and validated it";
}

TEST_F(LoginScreen, LoginPictureIsThePicturesOwnPixels)
{
    // Whatever the screen (the test command runs this on a large one, a 1280 x 600 and an 800 x 600 one), the window
    // shows the merged picture, image 129's shape in image 205's colours, pixel for pixel: nothing squashed, no row or
    // column of the shape image's own colours left. On a screen smaller than the picture the window holds the part of
    // it on the screen.
    std::unique_ptr<Gdiplus::Bitmap> shape = LoadResourceImage(129, "PNG");
    std::unique_ptr<Gdiplus::Bitmap> colour = LoadResourceImage(205, "JPG");
    ASSERT_TRUE(shape && colour);
    CLockedPixels shapePixels(*shape, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
    {
        CLockedPixels colourPixels(*colour, Gdiplus::ImageLockModeRead);
        MergeShapeAndColour(shapePixels.View(), colourPixels.View(), 1024, 700);
    }
    const LoginPlacement place = PlaceLoginWindow(1024, 700, ::GetSystemMetrics(SM_CXSCREEN),
                                                  ::GetSystemMetrics(SM_CYSCREEN), m_dlg.FindLayout("DlgWeb"));
    const RECT window = WindowRect(Main());
    ASSERT_TRUE(Same(ToRECT(place.window), window));
    const int width = window.right - window.left, height = window.bottom - window.top;
    CDibSurface pushed;
    ASSERT_TRUE(m_dlg.ComposeLoginPicture(width, height, pushed));

    CDibSurface expected;
    ASSERT_TRUE(expected.Create(width, height));
    CopyPremultipliedPart(shapePixels.View(), place.window.left - place.picture.left,
                          place.window.top - place.picture.top, expected.Pixels());
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            differing += pushed.Pixels().Row(y)[x] != expected.Pixels().Row(y)[x] ? 1 : 0;
    EXPECT_EQ(0, differing) << width << " x " << height;
}

// On a screen lower or narrower than the login picture (the test command runs this on 1280 x 600 and 800 x 600 screens
// too), the picture keeps its size and the panel lies on the screen, every part of it where the picture has its place:
// the browser in the panel's frame, the link buttons on their glows, Minimise and Close in the title band. The window
// holds the part of the picture on the screen; the rest is cut by the screen's edges.
TEST_F(LoginScreen, TheLoginScreensPanelLiesOnTheScreenWhereThePictureHasIt)
{
    const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const LayoutRect* panel = m_dlg.FindLayout("DlgWeb");
    ASSERT_NE(nullptr, panel);
    const LoginPlacement place = PlaceLoginWindow(1024, 700, screen.right, screen.bottom, panel);
    const RECT picture = ToRECT(place.picture);
    EXPECT_TRUE(Same(ToRECT(place.window), WindowRect(Main())));
    const RECT web = WindowRect(Web());
    EXPECT_TRUE(Same(RECT{picture.left + panel->x, picture.top + panel->y, picture.left + panel->x + panel->w,
                          picture.top + panel->y + panel->h},
                     web));
    RECT onScreen = {};
    ::IntersectRect(&onScreen, &web, &screen);
    EXPECT_TRUE(Same(web, onScreen)) << "the panel lies on the screen";

    // Each part at its place in the picture: the panel's offset in the picture plus its own layout rectangle.
    const struct
    {
        int id;
        const char* name;
    } parts[] = {{IDC_BTN_OFFICIAL, "Official"}, {IDC_BTN_FORUM, "Forum"}, {IDC_BTN_PAY, "Pay"},
                 {IDC_BTN_CUSTOM, "Custom"},     {IDC_BTN_MIN, "Min"},     {IDC_BTN_EXIT, "Exit"}};
    for (const auto& part : parts)
    {
        SCOPED_TRACE(part.name);
        RECT expected = ToRECT(RectOfLayout(*m_dlg.FindLayout(part.name)));
        ::OffsetRect(&expected, picture.left + panel->x, picture.top + panel->y);
        EXPECT_TRUE(Same(expected, WindowRect(::GetDlgItem(Web(), part.id))));
    }
    const LayoutRect* margins = m_dlg.FindLayout("WebCtrl");
    ASSERT_NE(nullptr, margins);
    const RECT browser = {picture.left + panel->x + margins->x, picture.top + panel->y + margins->y,
                          picture.left + panel->x + panel->w - margins->w,
                          picture.top + panel->y + panel->h - margins->h};
    EXPECT_TRUE(Same(browser, WindowRect(::GetDlgItem(Web(), IDC_BROWSER))));

    // Dragging moves both windows, the cut picture and its panel together.
    ::SetWindowPos(Main(), nullptr, place.window.left + 7, place.window.top + 5, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_TRUE(Same(RECT{web.left + 7, web.top + 5, web.right + 7, web.bottom + 5}, WindowRect(Web())));
}

// The login panel is drawn all in its colour key, and the round link buttons stand on copies of the login picture:
// outside the buttons the screen shows the login picture behind the panel, and so do the buttons' corners, around
// their round shapes.
TEST_F(LoginScreen, TheLoginPanelAndItsButtonsShowTheLoginPictureBehindThem)
{
    ::RedrawWindow(Web(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const CPushedPicture picture(m_dlg);
    ASSERT_TRUE(picture.Ok());
    const RECT panel = WindowRect(Web());
    const CScreenShot shot(panel);
    const int linkButtons[] = {IDC_BTN_PAY, IDC_BTN_OFFICIAL, IDC_BTN_CUSTOM, IDC_BTN_FORUM};

    // The panel outside the browser and its visible buttons.
    std::vector<RECT> shown;
    for (HWND child = ::GetWindow(Web(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child))
            shown.push_back(WindowRect(child));
    int compared = 0, differing = 0;
    for (LONG y = panel.top; y < panel.bottom; ++y)
        for (LONG x = panel.left; x < panel.right; ++x)
        {
            bool onButton = false;
            for (const RECT& r : shown)
                onButton = onButton || ::PtInRect(&r, POINT{x, y});
            const DWORD expected = picture.At(x, y);
            if (onButton || expected == ~0u)
                continue;
            ++compared;
            differing += Near(expected, shot.At(x, y)) ? 0 : 1;
        }
    EXPECT_GT(compared, 684 * 390 / 10); // the margins around the browser and the buttons
    EXPECT_EQ(0, differing) << "of " << compared << " pixels of the panel";

    // Each round link button's four corners, 4 x 4 pixels each, where its picture is transparent.
    for (int id : linkButtons)
    {
        SCOPED_TRACE(id);
        const RECT r = WindowRect(::GetDlgItem(Web(), id));
        const std::unique_ptr<Gdiplus::Bitmap> image = LoadResourceImage(ButtonOf(Web(), id)->Images().normal, "PNG");
        ASSERT_TRUE(image);
        for (const POINT corner : {POINT{r.left, r.top}, POINT{r.right - 4, r.top}, POINT{r.left, r.bottom - 4},
                                   POINT{r.right - 4, r.bottom - 4}})
            for (int dy = 0; dy < 4; ++dy)
                for (int dx = 0; dx < 4; ++dx)
                {
                    const int x = corner.x + dx, y = corner.y + dy;
                    Gdiplus::Color own;
                    image->GetPixel((x - r.left) * static_cast<int>(image->GetWidth()) / (r.right - r.left),
                                    (y - r.top) * static_cast<int>(image->GetHeight()) / (r.bottom - r.top), &own);
                    const DWORD expected = picture.At(x, y);
                    if (own.GetA() != 0 || expected == ~0u)
                        continue;
                    EXPECT_TRUE(Near(expected, shot.At(x, y))) << x - r.left << ", " << y - r.top << ": " << std::hex
                                                               << shot.At(x, y) << " instead of " << expected;
                }
    }
}

// Minimised from its own button and restored from the taskbar, the login screen comes back where it was, with its
// picture on the screen around the panel.
TEST_F(LoginScreen, MinimisedAndRestoredItShowsItsPictureAgain)
{
    Pump();
    const CPushedPicture picture(m_dlg);
    ASSERT_TRUE(picture.Ok());
    const RECT main = WindowRect(Main());
    const RECT web = WindowRect(Web());
    ::SendMessageW(Web(), WM_COMMAND, MAKEWPARAM(IDC_BTN_MIN, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(Main()) && !::IsWindowVisible(Web()); })) << "minimised";
    ::ShowWindow(Main(), SW_RESTORE);
    ASSERT_TRUE(PumpUntil([&] { return !::IsIconic(Main()) && ::IsWindowVisible(Web()); })) << "restored";
    EXPECT_TRUE(Same(main, WindowRect(Main())));
    EXPECT_TRUE(Same(web, WindowRect(Web())));

    // Every fourth opaque pixel of the picture outside the panel, as the screen shows it.
    int compared = 0, differing = 0;
    const bool shows = PumpUntil(
        [&]
        {
            const CScreenShot shot(main);
            compared = differing = 0;
            for (LONG y = main.top; y < main.bottom; y += 4)
                for (LONG x = main.left; x < main.right; x += 4)
                {
                    const DWORD expected = picture.At(x, y);
                    if (expected == ~0u || ::PtInRect(&web, POINT{x, y}))
                        continue;
                    ++compared;
                    differing += Near(expected, shot.At(x, y)) ? 0 : 1;
                }
            return compared > 0 && differing == 0;
        });
    EXPECT_TRUE(shows) << differing << " of " << compared << " pixels of the picture differ on the screen";
}
