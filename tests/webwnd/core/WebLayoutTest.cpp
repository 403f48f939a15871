#include "webwnd/core/WebLayout.h"

#include <gtest/gtest.h>

#include <ostream>

#include "mainwnd/core/MainLayout.h"
#include "mainwnd/core/ScreenSizeTable.h"
#include "tests/core/ShippedDocuments.h"

// How a failed comparison shows a rectangle.
std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace
{

const Rect kMinimum = {0, 0, 1000, 580}; // the shipped "DlgWeb_Min"

// The restore rectangle the web window computes for a work area with the shipped resolution tables.
Rect ShippedRestoreRect(const Rect& workArea)
{
    CScreenSizeTables tables;
    const std::string document = ReadShippedDocument("resolution.ini");
    tables.Load(document.data(), static_cast<int>(document.size()));
    return ComputeRestoreRect(workArea, tables.LookupScreenSize(workArea.Width(), true),
                              tables.LookupScreenSize(workArea.Height(), false));
}

} // namespace

TEST(WebLayout, PlaceWindowInTheWorkArea)
{
    struct Case
    {
        const char* name;
        Rect requested;
        Rect workArea;
        bool game;
        Rect placed;
    } const cases[] = {
        {"800 x 560: the minimum replaces the work area and is cut to it",
         {0, 0, 800, 560},
         {0, 0, 800, 560},
         true,
         {0, 0, 800, 560}},
        {"1280 x 560: the taller minimum at the left edge, not centred",
         {0, 0, 1280, 560},
         {0, 0, 1280, 560},
         true,
         {0, 0, 1000, 560}},
        {"1440 x 860 restore: cut to the width and centred across",
         {48, 48, 1488, 811},
         {0, 0, 1440, 860},
         true,
         {0, 48, 1440, 811}},
        {"the work area itself", {0, 0, 1920, 1040}, {0, 0, 1920, 1040}, true, {0, 0, 1920, 1040}},
        {"a work area off the origin, request above it: centred down",
         {100, 0, 1300, 700},
         {100, 40, 1700, 1000},
         true,
         {100, 170, 1300, 870}},
        {"a request sticking out at the bottom only",
         {0, 500, 1200, 1300},
         {0, 0, 1600, 1000},
         true,
         {0, 100, 1200, 900}},
        {"login layout: no minimum", {320, 188, 1004, 578}, {0, 0, 1920, 1040}, false, {320, 188, 1004, 578}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.placed, PlaceWebWindow(c.requested, c.workArea, kMinimum, c.game));
    }
    // Without a minimum rectangle (all zero) nothing replaces a small request.
    EXPECT_EQ((Rect{10, 10, 110, 60}), PlaceWebWindow({10, 10, 110, 60}, {0, 0, 1920, 1040}, Rect{}, true));
}

TEST(WebLayout, RestoreRectangleAndToggling)
{
    // The first restore on a 1440 x 860 work area.
    const Rect work = {0, 0, 1440, 860};
    const Rect restore = ShippedRestoreRect(work);
    EXPECT_EQ((Rect{48, 48, 1488, 811}), restore);
    MaximiseToggle toggle = ToggleMaximisedRects(false, work, work, restore);
    EXPECT_EQ(restore, toggle.requested);
    EXPECT_EQ(work, toggle.restore); // the maximised rectangle is kept for the way back
    const Rect restored = PlaceWebWindow(toggle.requested, work, kMinimum, true);
    EXPECT_EQ((Rect{0, 48, 1440, 811}), restored);
    // Maximising again: the work area, and the restored rectangle is kept.
    toggle = ToggleMaximisedRects(true, work, restored, toggle.restore);
    EXPECT_EQ(work, toggle.requested);
    EXPECT_EQ(restored, toggle.restore);

    // A work area off the origin: the saved rectangle is shifted by the maximised window's corner before it is
    // placed, and placing brings it back into the work area.
    const Rect offWork = {100, 50, 1540, 910};
    const Rect offRestore = ShippedRestoreRect(offWork);
    EXPECT_EQ((Rect{148, 98, 1588, 861}), offRestore);
    toggle = ToggleMaximisedRects(false, offWork, offWork, offRestore);
    EXPECT_EQ((Rect{248, 148, 1688, 911}), toggle.requested);
    EXPECT_EQ((Rect{100, 98, 1540, 861}), PlaceWebWindow(toggle.requested, offWork, kMinimum, true));
}

TEST(WebLayout, ButtonsAnchoredToTheRightEdge)
{
    const Rect client = {0, 0, 1440, 800};
    struct Case
    {
        const char* name;
        LayoutRect layout;
        int left;
    } const cases[] = {
        {"Pay_L", {357, 6, 38, 18, 1}, 1440 - 357},        {"Official_L", {315, 6, 38, 18, 1}, 1440 - 315},
        {"Forum_L", {273, 6, 38, 18, 1}, 1440 - 273},      {"Custom_L", {231, 6, 38, 18, 1}, 1440 - 231},
        {"Clear_L", {189, 6, 50, 18, 1}, 1440 - 189},      {"Refresh_L", {135, 6, 38, 18, 1}, 1440 - 135},
        {"Min_L", {92, 3, 29, 25, 1}, 1440 - 92},          {"Max_L", {61, 3, 27, 25, 1}, 1440 - 61},
        {"Exit_L", {32, 3, 29, 25, 1}, 1440 - 32},         {"Icon_L, not anchored", {5, 3, 24, 24, 0}, 5},
        {"Anchor 2 counts as none", {5, 3, 24, 24, 2}, 5},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ((Rect{c.left, c.layout.y, c.left + c.layout.w, c.layout.y + c.layout.h}),
                  ButtonRect(c.layout, client));
    }
    // The client area's own left edge is taken off an anchored position.
    EXPECT_EQ(1000 - 32 - 10, ButtonRect({32, 3, 29, 25, 1}, {10, 0, 1000, 800}).left);
}

TEST(WebLayout, BrowserMarginsInBothLayouts)
{
    EXPECT_EQ((Rect{3, 30, 1437, 797}), BrowserRect({3, 30, 3, 3, 0}, {0, 0, 1440, 800}));  // WebCtrl_L
    EXPECT_EQ((Rect{0, 30, 554, 340}), BrowserRect({0, 30, 130, 50, 0}, {0, 0, 684, 390})); // WebCtrl
}

TEST(WebLayout, HitTestAroundTheBrowser)
{
    const Rect browser = {103, 230, 1537, 997}; // a restored window at 100, 200
    struct Case
    {
        const char* name;
        Point point;
        int code;
    } const cases[] = {
        {"inside the browser", {700, 500}, HitClient},
        {"left strip", {101, 500}, HitLeft},
        {"the browser's left edge", {103, 500}, HitLeft},
        {"right strip", {1538, 500}, HitRight},
        {"the browser's right edge", {1537, 500}, HitRight},
        {"bottom strip", {700, 998}, HitBottom},
        {"bottom-right corner", {1538, 998}, HitBottomRight},
        {"beyond the bottom-right", {1600, 1100}, HitBottomRight},
        {"bottom-left corner is the left edge", {101, 998}, HitLeft},
        {"title band", {700, 215}, HitDefault},
        {"level with the browser's top", {700, 230}, HitDefault},
        {"right of the title band", {1538, 215}, HitDefault},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.code, WebWindowHitTest(c.point, browser, true, false));
        EXPECT_EQ(HitDefault, WebWindowHitTest(c.point, browser, true, true));   // maximised
        EXPECT_EQ(HitDefault, WebWindowHitTest(c.point, browser, false, false)); // login layout
    }
}

TEST(WebLayout, CursorForEveryHitTestCode)
{
    struct Case
    {
        int code;
        CursorShape shape;
    } const cases[] = {
        {HitLeft, CursorShape::SizeWestEast},
        {HitRight, CursorShape::SizeWestEast},
        {HitTop, CursorShape::SizeNorthSouth},
        {HitBottom, CursorShape::SizeNorthSouth},
        {HitTopLeft, CursorShape::SizeNorthWestSouthEast},
        {HitBottomRight, CursorShape::SizeNorthWestSouthEast},
        {HitTopRight, CursorShape::SizeNorthEastSouthWest},
        {HitBottomLeft, CursorShape::SizeNorthEastSouthWest},
        {HitClient, CursorShape::Arrow},
        {HitCaption, CursorShape::Arrow},
        {0, CursorShape::Arrow},
        {-2, CursorShape::Arrow},
        {18, CursorShape::Arrow},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.shape, CursorForHitTest(c.code));
    }
}

TEST(WebLayout, TitleBand)
{
    const Rect band = TitleBand({0, 0, 1440, 800}, 30);
    EXPECT_TRUE(Contains(band, {0, 0}));
    EXPECT_TRUE(Contains(band, {1439, 29}));
    EXPECT_FALSE(Contains(band, {1440, 10}));
    EXPECT_FALSE(Contains(band, {10, 30}));
    EXPECT_FALSE(Contains(band, {-1, 10}));
}

TEST(WebLayout, VisibilityRule)
{
    using B = WebButton;
    using V = Visibility;
    struct Case
    {
        B button;
        V login;
        V game;
        V placing; // without the Exit and Min rows, in the game layout
    } const cases[] = {
        {B::Official, V::Show, V::Show, V::Show},  {B::Pay, V::Show, V::Show, V::Show},
        {B::Forum, V::Show, V::Show, V::Show},     {B::Custom, V::Show, V::Show, V::Show},
        {B::Exit, V::Show, V::Show, V::Untouched}, {B::Min, V::Show, V::Show, V::Untouched},
        {B::Regist, V::Hide, V::Hide, V::Hide},    {B::Max, V::Hide, V::Show, V::Show},
        {B::Icon, V::Hide, V::Show, V::Show},      {B::Refresh, V::Hide, V::Show, V::Show},
        {B::Clear, V::Hide, V::Show, V::Show},     {B::Volume, V::Untouched, V::Untouched, V::Untouched},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.button));
        EXPECT_EQ(c.login, ButtonVisibility(c.button, false, true));
        EXPECT_EQ(c.game, ButtonVisibility(c.button, true, true));
        EXPECT_EQ(c.placing, ButtonVisibility(c.button, true, false));
    }
}

TEST(MainLayout, LoginPictureAtItsOwnSizeWithThePanelOnTheScreen)
{
    // The shipped panel: 684 x 390 at 320, 188 of the 1024 x 700 picture.
    const LayoutRect panel = {320, 188, 684, 390, 0};
    struct Case
    {
        int screenWidth;
        int screenHeight;
        Rect picture;
        Rect window;
    } const cases[] = {
        // Screens that hold the picture: centred, as ever, and the window is the picture.
        {1920, 1080, {448, 190, 1472, 890}, {448, 190, 1472, 890}},
        {1366, 768, {171, 34, 1195, 734}, {171, 34, 1195, 734}},
        {1280, 720, {128, 10, 1152, 710}, {128, 10, 1152, 710}},
        {1025, 701, {0, 0, 1024, 700}, {0, 0, 1024, 700}},
        {1027, 703, {1, 1, 1025, 701}, {1, 1, 1025, 701}},
        // Lower than the picture: centred still, the panel (188 to 578 of the picture) on the screen, the window cut
        // at the screen's top and bottom.
        {1280, 600, {128, -50, 1152, 650}, {128, 0, 1152, 600}},
        {1024, 576, {0, -62, 1024, 638}, {0, 0, 1024, 576}},
        // Narrower too: centred, the panel would end at 892, so the picture moves left until it ends at 800.
        {800, 600, {-204, -50, 820, 650}, {0, 0, 800, 600}},
        // So low that centred, the panel's bottom would be cut: moved up until the panel ends at the screen's
        // bottom; lower than the panel itself, the panel's top stays on the screen.
        {1024, 400, {0, -178, 1024, 522}, {0, 0, 1024, 400}},
        {1024, 300, {0, -188, 1024, 512}, {0, 0, 1024, 300}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.screenWidth << " x " << c.screenHeight);
        const LoginPlacement place = PlaceLoginWindow(1024, 700, c.screenWidth, c.screenHeight, &panel);
        EXPECT_EQ(c.picture, place.picture);
        EXPECT_EQ(c.window, place.window);
    }
    // Without a panel: centred only.
    EXPECT_EQ((Rect{-112, -50, 912, 650}), PlaceLoginWindow(1024, 700, 800, 600, nullptr).picture);
    // The web window's corner: the picture's, moved by the panel's place in it.
    const Point origin = WebWindowOrigin({-204, -50, 820, 650}, &panel);
    EXPECT_EQ(116, origin.x);
    EXPECT_EQ(138, origin.y);
    EXPECT_EQ(448, WebWindowOrigin({448, 190, 1472, 890}, nullptr).x);
}

TEST(RestoreRect, FromWorkArea)
{
    CScreenSizeTables tables;
    const std::string document = ReadShippedDocument("resolution.ini");
    tables.Load(document.data(), static_cast<int>(document.size()));
    struct Case
    {
        Rect workArea;
        Rect expected;
    } const cases[] = {
        {{0, 0, 1920, 1040}, {120, 120, 1560, 920}},
        {{0, 0, 1366, 728}, {22, 22, 1388, 705}},
        {{0, 0, 1024, 728}, {22, 22, 1046, 705}},
        {{100, 50, 2020, 1090}, {220, 170, 1660, 970}}, // the same area moved: left and top are kept
        {{0, 0, 800, 600}, {0, 0, 800, 600}},           // smaller than every listed size: the work area itself
        {{0, 0, 1920, 600}, {0, 0, 1440, 600}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.workArea.Width() << "x" << c.workArea.Height());
        const int w = tables.LookupScreenSize(c.workArea.Width(), true);
        const int h = tables.LookupScreenSize(c.workArea.Height(), false);
        EXPECT_EQ(c.expected, ComputeRestoreRect(c.workArea, w, h));
    }
}
