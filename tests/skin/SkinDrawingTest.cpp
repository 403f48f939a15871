// Skin drawing under Wine, judged by pixels: image resources decoded by GDI+, the skin bitmap in both modes,
// and the skinned button over its captured background.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Dc.h"
#include "framework/Scoped.h"
#include "framework/Surface.h"
#include "skin/MyBitmap.h"
#include "skin/MyBitmapButton.h"
#include "skin/ResourceImage.h"
#include "skin/SkinFrame.h"
#include "tests/support/PumpUntil.h"

namespace
{

// GDI+ for the whole test program.
class CGdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_gdiplus = std::make_unique<CScopedGdiplus>();
        ASSERT_TRUE(m_gdiplus->Ok());
    }
    void TearDown() override { m_gdiplus.reset(); }

private:
    std::unique_ptr<CScopedGdiplus> m_gdiplus;
};
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new CGdiplusEnvironment);

const DWORD kSentinel = 0x00FF00FF; // a colour no skin image uses next to an alpha no image produces

// A 32-bit top-down DIB surface, filled with the sentinel: what drawing leaves alone keeps it.
class CCanvas
{
public:
    CCanvas(int width, int height)
    {
        m_surface.Create(width, height);
        const PixelView pixels = m_surface.Pixels();
        std::fill(pixels.pixels, pixels.pixels + width * height, kSentinel);
    }
    HDC Dc() const { return m_surface.GetDC(); }
    DWORD At(int x, int y) const { return m_surface.Pixels().Row(y)[x] & 0x00FFFFFF; }
    void Fill(DWORD (*colour)(int x, int y))
    {
        const PixelView pixels = m_surface.Pixels();
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x)
                pixels.Row(y)[x] = colour(x, y);
    }
    int Width() const { return m_surface.Width(); }
    int Height() const { return m_surface.Height(); }

private:
    CDibSurface m_surface;
};

std::unique_ptr<Gdiplus::Bitmap> Load(UINT id, const char* type = "PNG")
{
    return LoadResourceImage(id, type);
}

// An image's pixel as the screen shows it over black: RGB only, for opaque pixels.
DWORD Rgb(Gdiplus::Bitmap& image, int x, int y)
{
    Gdiplus::Color colour;
    image.GetPixel(x, y, &colour);
    return colour.GetValue() & 0x00FFFFFF;
}

BYTE Alpha(Gdiplus::Bitmap& image, int x, int y)
{
    Gdiplus::Color colour;
    image.GetPixel(x, y, &colour);
    return colour.GetA();
}

bool HasTranslucentPixel(Gdiplus::Bitmap& image)
{
    for (UINT y = 0; y < image.GetHeight(); ++y)
        for (UINT x = 0; x < image.GetWidth(); ++x)
            if (Alpha(image, static_cast<int>(x), static_cast<int>(y)) < 255)
                return true;
    return false;
}

// Colours equal but for rounding in blending and scaling.
bool Near(DWORD a, DWORD b, int tolerance = 24)
{
    for (int shift = 0; shift < 24; shift += 8)
    {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance)
            return false;
    }
    return true;
}

const FrameList kToolbar = {"151", "152", "153", "154", "155", "156", "157", "158", "159"};

} // namespace

TEST(DibSurface, TopDownZeroFilledAndSharedWithGdi)
{
    CDibSurface surface;
    EXPECT_FALSE(surface.Create(0, 5));
    EXPECT_TRUE(surface.IsEmpty());
    ASSERT_TRUE(surface.Create(4, 3));
    PixelView pixels = surface.Pixels();
    ASSERT_NE(nullptr, pixels.pixels);
    EXPECT_EQ(4, pixels.stride);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(0u, pixels.pixels[i]);
    // GDI draws into the same pixels, top row first.
    CGdiObject<HBRUSH> red(::CreateSolidBrush(RGB(255, 0, 0)));
    const RECT bottomRow = {0, 2, 4, 3};
    ::FillRect(surface, &bottomRow, red);
    pixels = surface.Pixels();
    EXPECT_EQ(0x00FF0000u, pixels.Row(2)[1] & 0x00FFFFFF);
    EXPECT_EQ(0u, pixels.Row(0)[1]);
    // And GDI sees what the program writes.
    pixels.Row(0)[0] = 0x000000FF;
    EXPECT_EQ(RGB(0, 0, 255), ::GetPixel(surface, 0, 0));
    surface.Release();
    EXPECT_TRUE(surface.IsEmpty());
    EXPECT_EQ(nullptr, surface.GetDC());
}

TEST(ResourceImage, DecodesEveryStoredFormat)
{
    struct Case
    {
        const char* name;
        UINT id;
        const char* type;
        UINT width, height;
        bool jpeg;
        bool transparent;
    } const cases[] = {
        {"RGBA with a colour profile", 129, "PNG", 1024, 700, false, true},
        {"JPEG under its own type", 205, "JPG", 1024, 700, true, false},
        {"palette with transparency and a colour profile", 130, "PNG", 101, 101, false, true},
        {"palette with transparency", 145, "PNG", 102, 46, false, true},
        {"JPEG data under the type PNG", 133, "PNG", 37, 15, true, false},
        {"RGB", 151, "PNG", 6, 30, false, false},
        {"RGB with a colour profile", 169, "PNG", 29, 25, false, false},
        {"palette", 191, "PNG", 38, 18, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto image = Load(c.id, c.type);
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(Gdiplus::Ok, image->GetLastStatus());
        EXPECT_EQ(c.width, image->GetWidth());
        EXPECT_EQ(c.height, image->GetHeight());
        GUID format = {};
        image->GetRawFormat(&format);
        EXPECT_EQ(c.jpeg, format == Gdiplus::ImageFormatJPEG);
        EXPECT_EQ(c.transparent, HasTranslucentPixel(*image));
    }
}

TEST(ResourceImage, AddressIsIdAndTypeTogether)
{
    auto high = Load(129 + 0x10000);
    ASSERT_NE(nullptr, high);
    EXPECT_EQ(1024u, high->GetWidth());

    struct Case
    {
        UINT id;
        const char* type;
    } const missing[] = {{205, "PNG"}, {129, "JPG"}, {0, "PNG"}, {4242, "PNG"}, {129, "TEXT"}};
    for (const Case& c : missing)
    {
        SCOPED_TRACE(testing::Message() << c.id << " " << c.type);
        EXPECT_EQ(nullptr, LoadResourceImage(c.id, c.type));
    }
}

TEST(ResourceImage, TwoLoadsAreIndependentAndOutliveTheLoader)
{
    auto first = Load(136);
    auto second = Load(136);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first.get(), second.get());
    const DWORD before = Rgb(*second, 30, 30);
    first.reset();
    // The survivor still reads and draws: its bytes live with its own stream.
    EXPECT_EQ(before, Rgb(*second, 30, 30));
    CCanvas canvas(63, 64);
    {
        Gdiplus::Graphics surface(canvas.Dc());
        EXPECT_EQ(Gdiplus::Ok, surface.DrawImage(second.get(), 0, 0, 63, 64));
    }
    EXPECT_NE(kSentinel, canvas.At(30, 30));
}

TEST(MyBitmap, NineGridPixels)
{
    std::unique_ptr<Gdiplus::Bitmap> pieces[9];
    for (int k = 0; k < 9; ++k)
    {
        pieces[k] = Load(151 + k);
        ASSERT_NE(nullptr, pieces[k]);
    }
    // Only the rectangle's size counts: the same picture whatever its left and top.
    for (const RECT rect : {RECT{0, 0, 100, 50}, RECT{10, 20, 110, 70}})
    {
        SCOPED_TRACE(testing::Message() << rect.left << "," << rect.top);
        CMyBitmap skin;
        skin.SetFrames(CMyBitmap::ModeNineGrid, &kToolbar);
        CCanvas canvas(120, 80);
        skin.Draw(rect, canvas.Dc());

        auto expectPiece = [&](int k, int x0, int y0, int x1, int y1)
        {
            // The output rectangle [x0, x1) x [y0, y1) shows piece k tiled from (x0, y0) at its own size.
            const int w = static_cast<int>(pieces[k]->GetWidth());
            const int h = static_cast<int>(pieces[k]->GetHeight());
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    ASSERT_EQ(Rgb(*pieces[k], (x - x0) % w, (y - y0) % h), canvas.At(x, y))
                        << "piece " << k << " at " << x << "," << y;
        };
        expectPiece(0, 0, 0, 6, 30);     // top-left
        expectPiece(1, 6, 0, 94, 30);    // 44 top tiles
        expectPiece(2, 94, 0, 100, 30);  // top-right
        expectPiece(3, 0, 30, 6, 47);    // 9 rows on the left, the last cut by the bottom row
        expectPiece(5, 94, 30, 100, 47); // and on the right
        expectPiece(6, 0, 47, 6, 50);    // bottom-left
        expectPiece(7, 6, 47, 94, 50);   // 44 bottom tiles
        expectPiece(8, 94, 47, 100, 50); // bottom-right
        // The interior and everything outside the rectangle's size are left as they were.
        for (const POINT p : {POINT{6, 30}, POINT{50, 40}, POINT{93, 46}, POINT{100, 10}, POINT{50, 50}})
            EXPECT_EQ(kSentinel, canvas.At(p.x, p.y)) << p.x << "," << p.y;
    }
}

TEST(MyBitmap, NineGridNeedsNineLoadablePieces)
{
    const FrameList eighteen = []
    {
        FrameList list = kToolbar;
        for (int k = 0; k < 9; ++k)
            list.push_back("129");
        return list;
    }();
    FrameList ten = kToolbar;
    ten.push_back("151");
    FrameList broken = kToolbar;
    broken[4] = "4242";
    struct Case
    {
        const char* name;
        const FrameList* frames;
        bool drawn;
    } const cases[] = {
        {"eighteen entries: the first nine", &eighteen, true},
        {"ten entries", &ten, false},
        {"a piece that does not load", &broken, false},
        {"no list", nullptr, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CMyBitmap skin;
        skin.SetFrames(CMyBitmap::ModeNineGrid, c.frames);
        CCanvas canvas(100, 50);
        skin.Draw(RECT{0, 0, 100, 50}, canvas.Dc());
        EXPECT_EQ(c.drawn, canvas.At(0, 0) != kSentinel);
        EXPECT_EQ(kSentinel, canvas.At(50, 40));
    }
}

TEST(MyBitmap, SingleImageScaledToTheRectangle)
{
    const FrameList frames = {"136"};
    CMyBitmap skin;
    skin.SetFrames(0, &frames);
    CCanvas canvas(60, 40);
    skin.Draw(RECT{5, 5, 45, 25}, canvas.Dc()); // 40 x 20 at the origin
    auto image = Load(136);
    ASSERT_NE(nullptr, image);
    int changedInside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            changedInside += canvas.At(x, y) != kSentinel;
    EXPECT_GT(changedInside, 40 * 20 / 2); // the image covers the rectangle (its transparent parts excepted)
    for (int x = 0; x < 60; ++x)
        EXPECT_EQ(kSentinel, canvas.At(x, 20)) << x;
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(kSentinel, canvas.At(40, y)) << y;
}

TEST(MyBitmap, CachedImagesAndPixelChanges)
{
    const FrameList first = {"151"};
    const FrameList second = {"159"};
    CMyBitmap skin;
    EXPECT_EQ(nullptr, skin.GetFrameImage(0)); // no list yet
    skin.SetFrames(0, &first);
    Gdiplus::Bitmap* image = skin.GetFrameImage(0);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(image, skin.GetFrameImage(0));
    // Index 1 of a one-entry list is entry 0 again, decoded and cached under its own index.
    Gdiplus::Bitmap* wrapped = skin.GetFrameImage(1);
    ASSERT_NE(nullptr, wrapped);
    EXPECT_NE(image, wrapped);
    EXPECT_EQ(wrapped, skin.GetFrameImage(1));
    EXPECT_EQ(image->GetWidth(), wrapped->GetWidth());
    skin.SetFrames(0, &second);
    EXPECT_EQ(image, skin.GetFrameImage(0)); // the old list's image stays under index 0

    // Pixels changed in the cached image show in the next draw.
    for (UINT y = 0; y < image->GetHeight(); ++y)
        for (UINT x = 0; x < image->GetWidth(); ++x)
            image->SetPixel(static_cast<int>(x), static_cast<int>(y), Gdiplus::Color(255, 0x12, 0x34, 0x56));
    CCanvas canvas(6, 30);
    skin.Draw(RECT{0, 0, 6, 30}, canvas.Dc());
    EXPECT_EQ(0x123456u, canvas.At(3, 15));
}

TEST(MyBitmap, EntriesReadAsNumbers)
{
    struct Case
    {
        const char* entry;
        bool loads;
    } const cases[] = {{"129", true}, {"  129", true}, {"129abc", true}, {"", false}, {"abc", false}, {"0", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.entry);
        const FrameList frames = {c.entry};
        CMyBitmap skin;
        skin.SetFrames(0, &frames);
        Gdiplus::Bitmap* image = skin.GetFrameImage(0);
        EXPECT_EQ(c.loads, image != nullptr);
        if (image)
        {
            EXPECT_EQ(1024u, image->GetWidth());
        }
    }
}

// A frame whose pieces could not be had is tried again at the next paint, at the same size: a piece that fails once
// (a decoder out of memory, say) must not leave the window without its frame until its size changes.
TEST(SkinFrame, PiecesThatFailedAreTriedAgainAtTheNextPaint)
{
    FrameList frames = kToolbar;
    frames[4] = "4242"; // no such picture, for now
    CSkinFrame frame;
    frame.SetFrames(&frames);
    CCanvas canvas(100, 50);
    EXPECT_FALSE(frame.Paint(canvas.Dc(), 100, 50));
    EXPECT_EQ(kSentinel, canvas.At(0, 0));
    frames[4] = "155";
    EXPECT_TRUE(frame.Paint(canvas.Dc(), 100, 50));
    EXPECT_NE(kSentinel, canvas.At(0, 0));
    EXPECT_NE(kSentinel, canvas.At(50, 48)) << "the bottom edge";
}

namespace
{

// A parent window with one owner-drawn button bound to a CMyBitmapButton at 30, 20 of its client area. The
// parent sits away from the screen's origin, so that screen and client coordinates differ.
class CButtonHost
{
public:
    static constexpr int kLeft = 300;
    static constexpr int kTop = 200;

    CButtonHost()
    {
        m_parent =
            ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, kLeft, kTop, 200, 100, nullptr, nullptr, nullptr, nullptr);
        HWND hwnd = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 30, 20, 38, 18, m_parent,
                                      reinterpret_cast<HMENU>(1002), nullptr, nullptr);
        button.SubclassWindow(hwnd);
        m_parentWnd.SubclassWindow(m_parent);
    }
    ~CButtonHost() { ::DestroyWindow(m_parent); }

    void Show() { ::SetWindowPos(m_parent, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW); }

    // What DrawItem paints into a fresh 38 x 18 canvas for an item state.
    std::unique_ptr<CCanvas> Paint(UINT itemState)
    {
        auto canvas = std::make_unique<CCanvas>(38, 18);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 1002;
        item.itemState = itemState;
        item.hwndItem = button.m_hWnd;
        item.hDC = canvas->Dc();
        item.rcItem = {0, 0, 38, 18};
        button.DrawItem(&item);
        return canvas;
    }

    CMyBitmapButton button;
    CWnd m_parentWnd;

private:
    HWND m_parent;
};

DWORD Stripes(int x, int y)
{
    return ((x / 4 + y / 4) % 2) ? 0x00204080u : 0x00C0A000u;
}

} // namespace

TEST(MyBitmapButton, ChoosesTheImageByStateAndHover)
{
    CButtonHost host;
    host.button.SetImages(206, 207, 208);
    struct Case
    {
        UINT state;
        bool hovering;
        UINT expected;
    } const cases[] = {
        {0, false, 206},
        {ODS_SELECTED, false, 207},
        {ODS_SELECTED, true, 207},
        {0, true, 208},
        {ODS_FOCUS | ODS_DISABLED, false, 206},
        {ODS_FOCUS, true, 208},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.state << (c.hovering ? " hovering" : ""));
        host.button.SendMessage(c.hovering ? WM_MOUSEHOVER : WM_MOUSELEAVE);
        EXPECT_EQ(c.hovering, host.button.IsHovering());
        EXPECT_EQ(c.expected, host.button.ChooseImage(c.state));
    }
    // Without a pressed image, a pressed button under the pointer shows its hover image, else its normal one.
    host.button.SetImages(206, 0, 208);
    host.button.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(208u, host.button.ChooseImage(ODS_SELECTED));
    host.button.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(206u, host.button.ChooseImage(ODS_SELECTED));
}

TEST(MyBitmapButton, PaintsItsImageOverTheCapturedBackground)
{
    CButtonHost host;
    CCanvas parent(200, 100);
    parent.Fill(Stripes);
    host.button.CaptureBackground(&host.m_parentWnd, parent.Dc());

    // No image that loads: exactly the background under the button (it sits at 30, 20 of the parent's client
    // area, whatever the parent's place on the screen).
    host.button.SetImages(4242, 0, 0);
    auto background = host.Paint(0);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 38; ++x)
            ASSERT_EQ(Stripes(30 + x, 20 + y) & 0xFFFFFF, background->At(x, y)) << x << "," << y;

    // A palette image with see-through parts: the image where it is opaque, the background where it is (nearly)
    // transparent.
    host.button.SetImages(130, 131, 132);
    auto image = Load(130);
    ASSERT_NE(nullptr, image);
    auto painted = host.Paint(0);
    int shown = 0, through = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 38; ++x)
        {
            const BYTE alpha = Alpha(*image, x * 101 / 38, y * 101 / 18);
            const DWORD under = Stripes(30 + x, 20 + y) & 0xFFFFFF;
            if (alpha <= 8 && Near(painted->At(x, y), under))
                ++through;
            if (alpha == 255 && !Near(painted->At(x, y), under))
                ++shown;
        }
    EXPECT_GT(through, 0);
    EXPECT_GT(shown, 0);

    // The states paint differently.
    EXPECT_NE(host.Paint(0)->At(19, 9), host.Paint(ODS_SELECTED)->At(19, 9));

    // A new background under the button shows from the next paint on, in every state already painted.
    host.button.SetImages(4242, 4243, 0);
    host.Paint(0);
    host.Paint(ODS_SELECTED);
    const auto inverted = [](int x, int y) -> DWORD { return ~Stripes(x, y) | 0xFF000000; };
    parent.Fill(inverted);
    host.button.CaptureBackground(&host.m_parentWnd, parent.Dc());
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)})
    {
        auto again = host.Paint(state);
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 38; ++x)
                ASSERT_EQ(inverted(30 + x, 20 + y) & 0xFFFFFF, again->At(x, y)) << state << ": " << x << "," << y;
    }
}

TEST(MyBitmapButton, FollowsThePointerAndNeverErasesItsBackground)
{
    CButtonHost host;
    CClientDC screen(nullptr);
    EXPECT_EQ(TRUE, host.button.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(screen))));
    host.button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(host.button.IsHovering()); // not on entry: only once the pointer rests
    host.button.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(host.button.IsHovering());
    host.button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(host.button.IsHovering());
}

// The system's hover and leave notices, driven by the real pointer: hover must come back every time the pointer
// comes back and rests, not just the first time.
TEST(MyBitmapButton, HoverComesBackAfterEveryLeave)
{
    CButtonHost host;
    host.button.SetImages(206, 207, 208);
    host.Show();
    PumpUntil([] { return false; }, 100); // where the window manager put the parent
    RECT button;
    host.button.GetWindowRect(&button);
    const POINT inside = {button.left + 19, button.top + 9};
    const POINT outside = {button.left + 120, button.top + 60}; // on the parent, off the button

    for (int round = 0; round < 3; ++round)
    {
        SCOPED_TRACE(testing::Message() << "round " << round);
        ::SetCursorPos(inside.x, inside.y);
        // The move the system reports when the pointer comes in (sent as well, in case the warp reports none).
        host.button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(19, 9));
        ASSERT_TRUE(PumpUntil([&] { return host.button.IsHovering(); })) << "no hover once the pointer rested";
        EXPECT_EQ(208u, host.button.ChooseImage(0));

        ::SetCursorPos(outside.x, outside.y);
        ASSERT_TRUE(PumpUntil([&] { return !host.button.IsHovering(); })) << "no leave";
        EXPECT_EQ(206u, host.button.ChooseImage(0));
    }
}
