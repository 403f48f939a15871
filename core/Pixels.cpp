#include "core/Pixels.h"

#include <algorithm>

namespace
{

constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr uint32_t kColourMask = 0x00FFFFFFu;

bool Inside(int x, int y, int width, int height)
{
    return x >= 0 && y >= 0 && x < width && y < height;
}

// channel * alpha / 255, rounded to nearest, without a division.
uint32_t Scale(uint32_t channel, uint32_t alpha)
{
    uint32_t t = channel * alpha + 128;
    return (t + (t >> 8)) >> 8;
}

} // namespace

void MergeShapeAndColour(const PixelView& shape, const ConstPixelView& colour, int width, int height)
{
    if (!shape.pixels || width <= 0 || height <= 0)
        return;
    // Both images cover the whole area (the usual case): every read succeeds, so the order does not matter and
    // the rows go by in memory order.
    if (colour.pixels && width <= shape.width && height <= shape.height && width <= colour.width &&
        height <= colour.height)
    {
        for (int y = 0; y < height; ++y)
        {
            uint32_t* out = shape.Row(y);
            const uint32_t* in = colour.Row(y);
            for (int x = 0; x < width; ++x)
                out[x] = (out[x] & kAlphaMask) | (in[x] & kColourMask);
        }
        return;
    }
    // Otherwise the order decides which pixel stands in for one that cannot be read: column by column.
    uint32_t shapePixel = 0xFF000000u;
    uint32_t colourPixel = 0xFF000000u;
    for (int x = 0; x < width; ++x)
    {
        for (int y = 0; y < height; ++y)
        {
            if (colour.pixels && Inside(x, y, colour.width, colour.height))
                colourPixel = colour.Row(y)[x];
            const bool inShape = Inside(x, y, shape.width, shape.height);
            if (inShape)
                shapePixel = shape.Row(y)[x];
            if (inShape)
                shape.Row(y)[x] = (shapePixel & kAlphaMask) | (colourPixel & kColourMask);
        }
    }
}

void Premultiply(const PixelView& image)
{
    if (!image.pixels)
        return;
    for (int y = 0; y < image.height; ++y)
    {
        uint32_t* row = image.Row(y);
        for (int x = 0; x < image.width; ++x)
        {
            const uint32_t pixel = row[x];
            const uint32_t alpha = pixel >> 24;
            if (alpha == 255)
                continue;
            uint32_t result = alpha << 24;
            for (int shift = 0; shift < 24; shift += 8)
            {
                result |= Scale((pixel >> shift) & 0xFF, alpha) << shift;
            }
            row[x] = result;
        }
    }
}

size_t CountColourKeyPixels(const ConstPixelView& image, uint32_t key)
{
    size_t count = 0;
    if (!image.pixels)
        return count;
    for (int y = 0; y < image.height; ++y)
    {
        const uint32_t* row = image.Row(y);
        for (int x = 0; x < image.width; ++x)
            count += (row[x] & kColourMask) == (key & kColourMask) ? 1 : 0;
    }
    return count;
}

void CopyPremultipliedPart(const ConstPixelView& from, int left, int top, const PixelView& to)
{
    if (!to.pixels)
        return;
    for (int y = 0; y < to.height; ++y)
    {
        uint32_t* row = to.Row(y);
        const int sourceY = top + y;
        for (int x = 0; x < to.width; ++x)
        {
            const int sourceX = left + x;
            const bool inside =
                from.pixels && sourceX >= 0 && sourceY >= 0 && sourceX < from.width && sourceY < from.height;
            row[x] = inside ? from.Row(sourceY)[sourceX] : 0;
        }
    }
    Premultiply(to);
}

bool ComposeShapeAndColourPart(const ConstPixelView& shape, const ConstRgbView& colour, int left, int top,
                               const PixelView& to)
{
    if (!shape.pixels || !colour.bytes || !to.pixels || colour.width < shape.width || colour.height < shape.height)
        return false;
    for (int y = 0; y < to.height; ++y)
    {
        uint32_t* out = to.Row(y);
        const int sourceY = top + y;
        if (sourceY < 0 || sourceY >= shape.height)
        {
            std::fill(out, out + to.width, 0u);
            continue;
        }
        const uint32_t* alphaRow = shape.Row(sourceY);
        const uint8_t* colourRow = colour.Row(sourceY);
        for (int x = 0; x < to.width; ++x)
        {
            const int sourceX = left + x;
            if (sourceX < 0 || sourceX >= shape.width)
            {
                out[x] = 0;
                continue;
            }
            const uint32_t alpha = alphaRow[sourceX] >> 24;
            const uint8_t* bgr = colourRow + 3 * sourceX;
            out[x] = alpha == 255
                         ? kAlphaMask | uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0]
                         : alpha << 24 | Scale(bgr[2], alpha) << 16 | Scale(bgr[1], alpha) << 8 | Scale(bgr[0], alpha);
        }
    }
    return true;
}

bool IsOpaque(const PixelView& image)
{
    for (int y = 0; y < image.height; ++y)
    {
        const uint32_t* row = image.Row(y);
        for (int x = 0; x < image.width; ++x)
        {
            if ((row[x] & kAlphaMask) != kAlphaMask)
                return false;
        }
    }
    return true;
}
