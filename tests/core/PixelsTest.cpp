#include "core/Pixels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace
{

std::string Hex(uint32_t pixel)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", pixel);
    return text;
}

PixelView View(std::vector<uint32_t>& pixels, int width, int height)
{
    return PixelView{pixels.data(), width, height, width};
}

} // namespace

TEST(Pixels, PremultiplyByAlpha)
{
    struct Case
    {
        const char* name;
        uint32_t in;
        uint32_t out;
    } const cases[] = {
        {"alpha 0 clears the colour", 0x00FFFFFF, 0x00000000},
        {"alpha 255 keeps the pixel", 0xFF123456, 0xFF123456},
        {"half alpha halves, rounded to nearest", 0x80FF8001, 0x80804001},
        {"alpha 1", 0x01FFFFFF, 0x01010101},
        {"alpha 254", 0xFEFF7F01, 0xFEFE7F01},
        {"the colour key stays itself where opaque", 0xFF0000FF, 0xFF0000FF},
        {"the colour key goes where transparent", 0x000000FF, 0x00000000},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> pixels = {c.in};
        Premultiply(View(pixels, 1, 1));
        EXPECT_EQ(Hex(c.out), Hex(pixels[0]));
    }

    // Every channel value at every alpha against the exact rounded quotient.
    for (uint32_t alpha = 0; alpha < 256; ++alpha)
    {
        std::vector<uint32_t> row(256);
        for (uint32_t v = 0; v < 256; ++v)
            row[v] = (alpha << 24) | (v << 16) | (v << 8) | v;
        Premultiply(View(row, 256, 1));
        for (uint32_t v = 0; v < 256; ++v)
        {
            const uint32_t expected = (v * alpha * 2 + 255) / 510;
            ASSERT_EQ(expected, row[v] & 0xFF) << "alpha " << alpha << ", value " << v;
            ASSERT_EQ(alpha, row[v] >> 24);
        }
    }
}

TEST(Pixels, CopiesAPartPremultipliedAndLeavesWhatLiesOutsideTransparent)
{
    // A 3 x 2 picture; parts of 2 x 2 at three places, the last reaching past its right and bottom edges.
    std::vector<uint32_t> picture = {0xFF010203, 0x80FF0000, 0x00ABCDEF, //
                                     0xFF0A0B0C, 0xFFFFFFFF, 0x40FFFFFF};
    const ConstPixelView from(picture.data(), 3, 2, 3);
    struct Case
    {
        int left, top;
        std::vector<uint32_t> part;
    } const cases[] = {
        {0, 0, {0xFF010203, 0x80800000, 0xFF0A0B0C, 0xFFFFFFFF}},
        {1, 0, {0x80800000, 0x00000000, 0xFFFFFFFF, 0x40404040}},
        {2, 1, {0x40404040, 0, 0, 0}},
        {-1, -1, {0, 0, 0, 0xFF010203}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.left << ", " << c.top);
        std::vector<uint32_t> part(4, 0x12345678);
        CopyPremultipliedPart(from, c.left, c.top, View(part, 2, 2));
        EXPECT_EQ(c.part, part);
    }
}

// The one-pass compose gives the pixels of the long way (merge the whole shape, then copy the part premultiplied), for
// every alpha, at every place of the part, and refuses a colour image that does not cover the shape.
TEST(Pixels, ComposeInOnePassIsTheMergeAndTheCopy)
{
    const int w = 7, h = 5;
    std::vector<uint32_t> shape(w * h);
    const int stride = 3 * (w + 1) + 2; // a colour image larger than the shape, its rows padded
    std::vector<uint8_t> colour(stride * (h + 1));
    for (size_t i = 0; i < shape.size(); ++i)
        shape[i] = static_cast<uint32_t>((i * 37) % 256) << 24 | static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    shape[0] |= 0xFF000000u;
    shape[1] &= 0x00FFFFFFu;
    for (size_t i = 0; i < colour.size(); ++i)
        colour[i] = static_cast<uint8_t>(i * 97 + 13);
    const ConstRgbView rgb{colour.data(), w + 1, h + 1, stride};

    // The long way: the colour image widened to 32 bits, merged into the shape, the part copied.
    std::vector<uint32_t> wide((w + 1) * (h + 1));
    for (int y = 0; y <= h; ++y)
        for (int x = 0; x <= w; ++x)
        {
            const uint8_t* bgr = rgb.Row(y) + 3 * x;
            wide[y * (w + 1) + x] = 0xFF000000u | uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0];
        }
    std::vector<uint32_t> merged = shape;
    MergeShapeAndColour(View(merged, w, h), ConstPixelView(wide.data(), w + 1, h + 1, w + 1), w, h);

    const struct
    {
        int left, top, width, height;
    } cases[] = {{0, 0, w, h}, {2, 1, 3, 3}, {-2, -1, w, h}, {4, 3, 6, 4}, {w, h, 2, 2}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.left << ", " << c.top << " " << c.width << " x " << c.height);
        std::vector<uint32_t> expected(c.width * c.height), composed(c.width * c.height, 0x12345678);
        CopyPremultipliedPart(ConstPixelView(merged.data(), w, h, w), c.left, c.top, View(expected, c.width, c.height));
        ASSERT_TRUE(ComposeShapeAndColourPart(ConstPixelView(shape.data(), w, h, w), rgb, c.left, c.top,
                                              View(composed, c.width, c.height)));
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(Hex(expected[i]), Hex(composed[i])) << "pixel " << i;
    }

    std::vector<uint32_t> untouched(4, 0x12345678);
    const ConstRgbView small{colour.data(), w - 1, h, stride};
    EXPECT_FALSE(ComposeShapeAndColourPart(ConstPixelView(shape.data(), w, h, w), small, 0, 0, View(untouched, 2, 2)));
    EXPECT_FALSE(ComposeShapeAndColourPart(ConstPixelView(), rgb, 0, 0, View(untouched, 2, 2)));
    EXPECT_EQ(std::vector<uint32_t>(4, 0x12345678), untouched);
}

TEST(Pixels, MergeTakesShapeFromOneImageAndColourFromTheOther)
{
    struct Case
    {
        const char* name;
        uint32_t shape;
        uint32_t colour;
        uint32_t merged;
    } const cases[] = {
        {"alpha 0 outside the shape", 0x00AABBCC, 0xFF112233, 0x00112233},
        {"alpha 255 inside", 0xFF000000, 0x80445566, 0xFF445566},
        {"partial alpha at the edge", 0x7F9999FF, 0xFFABCDEF, 0x7FABCDEF},
        {"a key-blue colour is kept as it is", 0xFF202020, 0xFF0000FF, 0xFF0000FF},
    };
    std::vector<uint32_t> shape, colour;
    for (const Case& c : cases)
    {
        shape.push_back(c.shape);
        colour.push_back(c.colour);
    }
    const int n = static_cast<int>(shape.size());
    MergeShapeAndColour(View(shape, n, 1), ConstPixelView(colour.data(), n, 1, n), n, 1);
    for (int i = 0; i < n; ++i)
    {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(Hex(cases[i].merged), Hex(shape[i]));
    }
    // Merging again changes nothing.
    const std::vector<uint32_t> once = shape;
    MergeShapeAndColour(View(shape, n, 1), ConstPixelView(colour.data(), n, 1, n), n, 1);
    EXPECT_EQ(once, shape);
}

TEST(Pixels, MergeCoversOnlyTheAreaAndRowsOfAnyStride)
{
    // A 4 x 3 shape image inside rows of 6; only the top-left 3 x 2 is merged.
    std::vector<uint32_t> shape(6 * 3, 0x80000000);
    std::vector<uint32_t> colour(4 * 3);
    for (size_t i = 0; i < colour.size(); ++i)
        colour[i] = 0xFF000000 | static_cast<uint32_t>(i + 1);
    MergeShapeAndColour(PixelView{shape.data(), 4, 3, 6}, ConstPixelView(colour.data(), 4, 3, 4), 3, 2);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
        {
            const uint32_t expected = (x < 3 && y < 2) ? 0x80000000 | static_cast<uint32_t>(y * 4 + x + 1) : 0x80000000;
            EXPECT_EQ(Hex(expected), Hex(shape[y * 6 + x])) << x << "," << y;
        }
}

TEST(Pixels, MergeBeyondAnImageRepeatsThePixelReadBefore)
{
    // A 3 x 3 area over a 2 x 3 shape image and a 2 x 2 colour image, column by column: the bottom row cannot be
    // read from the colour image, so each of its pixels takes the colour read just before, the one above it;
    // column 2 lies beyond the shape image and is not written.
    std::vector<uint32_t> shape = {0x10000000, 0x20000000, 0x30000000, 0x40000000, 0x50000000, 0x60000000};
    std::vector<uint32_t> colour = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
    MergeShapeAndColour(View(shape, 2, 3), ConstPixelView(colour.data(), 2, 2, 2), 3, 3);
    const std::vector<uint32_t> expected = {0x10000001, 0x20000002, 0x30000003, 0x40000004, 0x50000003, 0x60000004};
    EXPECT_EQ(expected, shape);

    // No colour image at all: opaque black's colour everywhere.
    std::vector<uint32_t> alone = {0x12345678};
    MergeShapeAndColour(View(alone, 1, 1), ConstPixelView(), 1, 1);
    EXPECT_EQ(Hex(0x12000000), Hex(alone[0]));
}

TEST(Pixels, CountsColourKeyPixelsWhateverTheirAlpha)
{
    std::vector<uint32_t> pixels = {0xFF0000FF, 0x000000FF, 0xFF0000FE, 0xFF0100FF, 0x800000FF, 0xFFFFFFFF};
    EXPECT_EQ(3u, CountColourKeyPixels(ConstPixelView(pixels.data(), 6, 1, 6), 0x0000FF));
    EXPECT_EQ(1u, CountColourKeyPixels(ConstPixelView(pixels.data(), 6, 1, 6), 0xFFFFFF));
}

TEST(Pixels, OpaqueOnlyWhenEveryPixelOfTheViewIs)
{
    // Two rows of three in a buffer four wide: the fourth column lies outside the view.
    std::vector<uint32_t> pixels = {0xFF000000, 0xFFFFFFFF, 0xFF123456, 0x00000000,
                                    0xFF000000, 0xFF000000, 0xFF000000, 0x00000000};
    EXPECT_TRUE(IsOpaque(PixelView{pixels.data(), 3, 2, 4}));
    pixels[5] = 0xFE000000;
    EXPECT_FALSE(IsOpaque(PixelView{pixels.data(), 3, 2, 4}));
    EXPECT_TRUE(IsOpaque(PixelView{pixels.data(), 0, 0, 4}));
}
