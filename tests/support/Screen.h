#pragma once

// What the screen shows, for the tests that look at pixels: the whole screen or a rectangle of it, captured at once,
// as 0x00RRGGBB pixels in screen coordinates; and a picture of it under screenshots/ for a person to look at.

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Scoped.h"
#include "framework/Surface.h"

class CScreenShot
{
public:
    // The whole screen.
    CScreenShot() : CScreenShot(RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}) {}
    // The rectangle r of it (screen coordinates, cut to the screen).
    explicit CScreenShot(const RECT& r)
    {
        const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::IntersectRect(&m_rect, &r, &screen);
        const int width = m_rect.right - m_rect.left, height = m_rect.bottom - m_rect.top;
        if (width <= 0 || height <= 0 || !m_surface.Create(width, height))
            return;
        HDC shown = ::GetDC(nullptr);
        ::BitBlt(m_surface, 0, 0, width, height, shown, m_rect.left, m_rect.top, SRCCOPY);
        ::ReleaseDC(nullptr, shown);
        ::GdiFlush();
    }

    bool Ok() const { return !m_surface.IsEmpty(); }
    const RECT& Rect() const { return m_rect; }
    // The pixel at screen point x, y, which must lie inside the rectangle captured.
    DWORD At(int x, int y) const { return m_surface.Pixels().Row(y - m_rect.top)[x - m_rect.left] & 0xFFFFFF; }
    // The pixels inside r (screen coordinates, cut to what was captured) for which match holds.
    template <class Match> int Count(const RECT& r, Match match) const
    {
        int count = 0;
        for (LONG y = std::max(r.top, m_rect.top); y < std::min(r.bottom, m_rect.bottom); ++y)
            for (LONG x = std::max(r.left, m_rect.left); x < std::min(r.right, m_rect.right); ++x)
                count += match(At(x, y)) ? 1 : 0;
        return count;
    }

    // Saves it as screenshots\<name>-<screen width>x<screen height>.png under the current folder; its path, or empty
    // when it could not be saved.
    std::wstring Save(const std::wstring& name) const
    {
        CScopedGdiplus gdiplus;
        UINT count = 0, size = 0;
        Gdiplus::GetImageEncodersSize(&count, &size);
        std::vector<BYTE> buffer(size);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        Gdiplus::GetImageEncoders(count, size, encoders);
        for (UINT i = 0; i < count; ++i)
        {
            if (std::wstring(encoders[i].MimeType) != L"image/png")
                continue;
            ::CreateDirectoryW(L"screenshots", nullptr);
            const std::wstring path = L"screenshots\\" + name + L"-" +
                                      std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                                      std::to_wstring(::GetSystemMetrics(SM_CYSCREEN)) + L".png";
            Gdiplus::Bitmap image(m_surface.GetBitmap(), nullptr);
            if (image.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok)
                return path;
        }
        return std::wstring();
    }

private:
    RECT m_rect = {};
    CDibSurface m_surface;
};
