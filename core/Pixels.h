#pragma once

#include <cstddef>
#include <cstdint>

// Plain 32-bit pixel buffers: one uint32_t per pixel, 0xAARRGGBB (the byte order of a 32-bit DIB and of GDI+'s
// 32bpp ARGB format on a little-endian machine), rows of `stride` pixels, top row first.

struct PixelView
{
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // pixels from one row to the next

    uint32_t* Row(int y) const { return pixels + static_cast<ptrdiff_t>(y) * stride; }
};

struct ConstPixelView
{
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;

    ConstPixelView() = default;
    ConstPixelView(const uint32_t* p, int w, int h, int s) : pixels(p), width(w), height(h), stride(s) {}
    ConstPixelView(const PixelView& view) : ConstPixelView(view.pixels, view.width, view.height, view.stride) {}
    const uint32_t* Row(int y) const { return pixels + static_cast<ptrdiff_t>(y) * stride; }
};

// A 24-bit image: three bytes a pixel, blue, green, red (GDI+'s 24bpp RGB format, a 24-bit DIB), rows of `stride`
// bytes, top row first.
struct ConstRgbView
{
    const uint8_t* bytes = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // bytes from one row to the next

    const uint8_t* Row(int y) const { return bytes + static_cast<ptrdiff_t>(y) * stride; }
};

// The login picture's merge: for every pixel of a width x height area, column by column, the shape image keeps
// its own alpha and takes the colour image's red, green and blue. A pixel outside either image cannot be read,
// and the pixel read before it stands in (both start as opaque black); a pixel outside the shape image cannot be
// written and is skipped. Merging twice gives the same pixels.
void MergeShapeAndColour(const PixelView& shape, const ConstPixelView& colour, int width, int height);

// Straight alpha to the premultiplied form that per-pixel-alpha layered windows take: each colour channel
// times alpha / 255, rounded to nearest. Alpha 255 leaves a pixel as it is; alpha 0 makes it 0.
void Premultiply(const PixelView& image);

// The part of from that starts at left, top, as large as to, copied into to and premultiplied (as Premultiply); a
// pixel of the part that lies outside from is left fully transparent (0).
void CopyPremultipliedPart(const ConstPixelView& from, int left, int top, const PixelView& to);

// The merge and the copy in one pass, for a colour image in 24 bits: the part of the shape image that starts at left,
// top, as large as to, each pixel with the shape's alpha and the colour image's red, green and blue, premultiplied;
// a pixel outside the shape is 0. The same pixels as MergeShapeAndColour over the whole shape followed by
// CopyPremultipliedPart. Only when the colour image covers the shape: false, with nothing written, when it does not
// (or a view is empty), and the caller takes the long way.
bool ComposeShapeAndColourPart(const ConstPixelView& shape, const ConstRgbView& colour, int left, int top,
                               const PixelView& to);

// Whether every pixel of image is fully opaque (alpha 255); true for an empty image.
bool IsOpaque(const PixelView& image);

// The number of pixels whose red, green and blue equal key (0xRRGGBB), whatever their alpha: the pixels that a
// colour-keyed window would show as holes.
size_t CountColourKeyPixels(const ConstPixelView& image, uint32_t key);
