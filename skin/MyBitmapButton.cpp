#include "skin/MyBitmapButton.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "skin/MyBitmap.h"
#include "skin/ResourceImage.h"

BEGIN_MESSAGE_MAP(CMyBitmapButton, CBitmapButton)
ON_WM_MOUSEMOVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CMyBitmapButton::SetImages(UINT normal, UINT pressed, UINT hover)
{
    m_images = ButtonImages{normal, pressed, hover};
}

UINT CMyBitmapButton::ChooseImage(UINT itemState) const
{
    if ((itemState & ODS_SELECTED) && m_images.pressed)
        return m_images.pressed;
    if (m_bHovering && m_images.hover)
        return m_images.hover;
    return m_images.normal;
}

void CMyBitmapButton::CaptureBackground(CWnd* window, HDC dc)
{
    if (!window || !m_hWnd)
        return;
    RECT client;
    GetClientRect(&client);
    RECT place;
    GetWindowRect(&place);
    window->ScreenToClient(&place);

    if (client.right <= 0 || client.bottom <= 0)
        return;
    if (m_background.Width() != client.right || m_background.Height() != client.bottom)
    {
        m_composed.clear();
        if (!m_background.Create(client.right, client.bottom, dc) || !m_capture.Create(client.right, client.bottom, dc))
        {
            m_background.Release();
            return;
        }
    }
    // The parent captures on every paint, mostly the same pixels: the composed states stay until they change.
    ::BitBlt(m_capture, 0, 0, client.right, client.bottom, dc, place.left, place.top, SRCCOPY);
    const PixelView captured = m_capture.Pixels(), kept = m_background.Pixels();
    const size_t bytes = static_cast<size_t>(client.right) * client.bottom * sizeof(uint32_t);
    if (std::memcmp(captured.pixels, kept.pixels, bytes) != 0)
    {
        std::memcpy(kept.pixels, captured.pixels, bytes);
        m_composed.clear();
    }
}

void CMyBitmapButton::DrawItem(DRAWITEMSTRUCT* item)
{
    RECT client;
    GetClientRect(&client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    // Composed off screen and copied in one go, so the button never flickers. Each state is composed once per
    // background and size and kept as plain pixels, so the cache holds no GDI objects.
    const UINT id = ChooseImage(item->itemState);
    const size_t count = static_cast<size_t>(width) * height;
    std::vector<uint32_t>& pixels = m_composed[id];
    if (pixels.size() != count)
    {
        CDibSurface memory;
        if (!memory.Create(width, height, item->hDC))
        {
            m_composed.erase(id);
            return;
        }
        if (!m_background.IsEmpty())
            ::BitBlt(memory, 0, 0, width, height, m_background, 0, 0, SRCCOPY);
        // The chosen image stretched over the client area, blended with its alpha (as CMyBitmap::DrawResourceImage).
        if (Gdiplus::Bitmap* image = Decoded(id))
        {
            Gdiplus::Graphics surface(memory);
            surface.DrawImage(image, 0, 0, width, height);
        }
        const PixelView composed = memory.Pixels();
        pixels.assign(composed.pixels, composed.pixels + count);
    }
    const BITMAPINFO info = TopDownDibInfo(width, height);
    ::SetDIBitsToDevice(item->hDC, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
}

Gdiplus::Bitmap* CMyBitmapButton::Decoded(UINT id)
{
    auto found = m_decoded.find(id);
    if (found == m_decoded.end())
    {
        found = m_decoded.emplace(id, id == 0 ? nullptr : LoadResourceImage(id, "PNG")).first;
    }
    return found->second.get();
}

void CMyBitmapButton::OnMouseMove(UINT flags, POINT point)
{
    if (!m_bTracking)
    {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof track;
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 1;
        m_bTracking = _TrackMouseEvent(&track) != FALSE;
    }
    CBitmapButton::OnMouseMove(flags, point);
}

void CMyBitmapButton::OnMouseHover(UINT flags, POINT point)
{
    m_bHovering = true;
    Invalidate(TRUE);
    CBitmapButton::OnMouseHover(flags, point);
}

void CMyBitmapButton::OnMouseLeave()
{
    m_bTracking = false;
    m_bHovering = false;
    Invalidate(TRUE);
    CBitmapButton::OnMouseLeave();
}

BOOL CMyBitmapButton::OnEraseBkgnd(HDC)
{
    return TRUE; // DrawItem paints every pixel
}

void CMyBitmapButton::PostNcDestroy()
{
    // A button made anew for this object (its dialog created again) starts outside, with nothing captured; its
    // images stay, as the caller set them.
    m_bTracking = false;
    m_bHovering = false;
    m_background.Release();
    m_capture.Release();
    m_composed.clear();
    CBitmapButton::PostNcDestroy();
}
