#pragma once

#include <memory>

#include "core/Pixels.h"
#include "framework/Dc.h"

// The header of a top-down 32-bit DIB of width x height (rows top first, 0xAARRGGBB), as CDibSurface and
// SetDIBitsToDevice take it.
BITMAPINFO TopDownDibInfo(int width, int height);

// A top-down 32-bit DIB section selected into a memory device context: a surface that GDI and GDI+ draw on and
// whose pixels the program reads and writes directly (0xAARRGGBB, rows one after the other, no padding). The
// format per-pixel-alpha layered windows take, and the one the skinned buttons compose their paint in.
class CDibSurface
{
public:
    CDibSurface() = default;
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;

    // A new width x height surface, every pixel 0 (transparent black), in a memory context compatible with
    // compatibleWith (null: the screen). What the surface held before is let go. False, with an empty surface,
    // for a size of 0 or less or when GDI refuses.
    bool Create(int width, int height, HDC compatibleWith = nullptr);
    // Lets go of the selection, the bitmap and the context, in that order.
    void Release();

    bool IsEmpty() const { return !m_pDC; }
    HDC GetDC() const { return m_pDC ? m_pDC->m_hDC : nullptr; }
    operator HDC() const { return GetDC(); }
    HBITMAP GetBitmap() const { return m_bitmap.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // The pixels, after GDI has finished what it was drawing into them; empty for an empty surface.
    PixelView Pixels() const;

private:
    // Declared in the order they are made; they go in the reverse one.
    std::unique_ptr<CMemoryDC> m_pDC;
    CBitmap m_bitmap;
    std::unique_ptr<CSelectObject> m_pSelection;
    uint32_t* m_pBits = nullptr;
    int m_width = 0;
    int m_height = 0;
};
