#include "framework/Surface.h"

BITMAPINFO TopDownDibInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool CDibSurface::Create(int width, int height, HDC compatibleWith)
{
    Release();
    if (width <= 0 || height <= 0)
        return false;
    const BITMAPINFO info = TopDownDibInfo(width, height);
    void* bits = nullptr;
    CBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.Get() || !bits)
        return false;
    auto dc = std::make_unique<CMemoryDC>(compatibleWith);
    if (!dc->m_hDC)
        return false;
    m_pDC = std::move(dc);
    m_bitmap = std::move(bitmap);
    m_pSelection = std::make_unique<CSelectObject>(m_pDC->m_hDC, m_bitmap.Get());
    m_pBits = static_cast<uint32_t*>(bits); // a new DIB section is zero-filled
    m_width = width;
    m_height = height;
    return true;
}

void CDibSurface::Release()
{
    m_pSelection.reset();
    m_bitmap.Reset();
    m_pDC.reset();
    m_pBits = nullptr;
    m_width = m_height = 0;
}

PixelView CDibSurface::Pixels() const
{
    if (!m_pBits)
        return PixelView();
    ::GdiFlush();
    return PixelView{m_pBits, m_width, m_height, m_width};
}
