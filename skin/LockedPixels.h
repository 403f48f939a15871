#pragma once

#include <algorithm>

#include "core/Pixels.h"
#include "skin/Gdiplus.h"

// The pixels of a GDI+ image, locked for reading and writing as 32-bit ARGB; unlocked when the lock goes.
class CLockedPixels
{
public:
    CLockedPixels(Gdiplus::Bitmap& image, UINT mode) : m_image(image)
    {
        const Gdiplus::Rect all(0, 0, static_cast<INT>(image.GetWidth()), static_cast<INT>(image.GetHeight()));
        m_locked = image.LockBits(&all, mode, PixelFormat32bppARGB, &m_data) == Gdiplus::Ok;
    }
    ~CLockedPixels()
    {
        if (m_locked)
            m_image.UnlockBits(&m_data);
    }
    CLockedPixels(const CLockedPixels&) = delete;
    CLockedPixels& operator=(const CLockedPixels&) = delete;

    PixelView View() const
    {
        if (!m_locked)
            return PixelView();
        return PixelView{static_cast<uint32_t*>(m_data.Scan0), static_cast<int>(m_data.Width),
                         static_cast<int>(m_data.Height), m_data.Stride / 4};
    }

private:
    Gdiplus::Bitmap& m_image;
    Gdiplus::BitmapData m_data = {};
    bool m_locked = false;
};

// The pixels of a GDI+ image, locked for reading as 24-bit RGB (a photograph's own format: no conversion); unlocked
// when the lock goes.
class CLockedRgbPixels
{
public:
    explicit CLockedRgbPixels(Gdiplus::Bitmap& image) : m_image(image)
    {
        const Gdiplus::Rect all(0, 0, static_cast<INT>(image.GetWidth()), static_cast<INT>(image.GetHeight()));
        m_locked = image.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &m_data) == Gdiplus::Ok;
    }
    ~CLockedRgbPixels()
    {
        if (m_locked)
            m_image.UnlockBits(&m_data);
    }
    CLockedRgbPixels(const CLockedRgbPixels&) = delete;
    CLockedRgbPixels& operator=(const CLockedRgbPixels&) = delete;

    ConstRgbView View() const
    {
        if (!m_locked)
            return ConstRgbView();
        return ConstRgbView{static_cast<const uint8_t*>(m_data.Scan0), static_cast<int>(m_data.Width),
                            static_cast<int>(m_data.Height), m_data.Stride};
    }

private:
    Gdiplus::Bitmap& m_image;
    Gdiplus::BitmapData m_data = {};
    bool m_locked = false;
};

// Copies image's pixels into the top-left of to, as much of them as fits, and premultiplies what it copied, as a
// per-pixel-alpha layered window or an alpha blend takes it. False, with nothing copied, when the image cannot be
// locked or to is empty.
inline bool CopyPremultiplied(Gdiplus::Bitmap& image, const PixelView& to)
{
    CLockedPixels source(image, Gdiplus::ImageLockModeRead);
    const PixelView from = source.View();
    if (!from.pixels || !to.pixels)
        return false;
    const int width = std::min(from.width, to.width), height = std::min(from.height, to.height);
    for (int y = 0; y < height; ++y)
        std::copy(from.Row(y), from.Row(y) + width, to.Row(y));
    Premultiply(PixelView{to.pixels, width, height, to.stride});
    return true;
}
