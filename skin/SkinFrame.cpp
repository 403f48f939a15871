#include "skin/SkinFrame.h"

#include "framework/Text.h"
#include "skin/LockedPixels.h"
#include "skin/core/NineGrid.h"

void CSkinFrame::SetFrames(const FrameList* frames)
{
    m_frame.SetFrames(CMyBitmap::ModeNineGrid, frames);
    m_bands.clear();
    m_size = SIZE{-1, -1};
}

bool CSkinFrame::Paint(HDC dc, int width, int height)
{
    if (m_size.cx != width || m_size.cy != height)
        Compose(width, height);
    if (m_bands.empty())
        return false;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (const CBand& band : m_bands)
    {
        const int w = band.place.right - band.place.left, h = band.place.bottom - band.place.top;
        if (band.opaque)
            ::BitBlt(dc, band.place.left, band.place.top, w, h, *band.pixels, 0, 0, SRCCOPY);
        else
            ::GdiAlphaBlend(dc, band.place.left, band.place.top, w, h, *band.pixels, 0, 0, w, h, blend);
    }
    return true;
}

void CSkinFrame::Compose(int width, int height)
{
    // The size is recorded only once the bands are made: a frame whose pieces could not be had is tried again at the
    // next paint, not left undrawn until the window's size changes.
    m_bands.clear();
    m_size = SIZE{-1, -1};
    m_centre = RECT{0, 0, width, height};
    NineGridPieceSize sizes[9];
    if (!m_frame.NineGridPieces(sizes))
        return;
    for (const NineGridBand& plan : PlanNineGridBands(sizes, width, height))
    {
        CBand band{RECT{plan.x, plan.y, plan.x + plan.width, plan.y + plan.height}, std::make_unique<CDibSurface>(),
                   false};
        std::unique_ptr<Gdiplus::Bitmap> composed = m_frame.ComposePieces(plan.width, plan.height, plan.placements);
        if (!composed || !band.pixels->Create(plan.width, plan.height) ||
            !CopyPremultiplied(*composed, band.pixels->Pixels()))
        {
            m_bands.clear();
            return;
        }
        band.opaque = IsOpaque(band.pixels->Pixels());
        m_bands.push_back(std::move(band));
    }
    const NineGridCentre centre = PlanNineGridCentre(sizes, width, height);
    m_centre = RECT{centre.left, centre.top, centre.right, centre.bottom};
    m_size = SIZE{width, height};
}

void CSkinFrame::PaintTitle(HDC dc, POINT at, const std::string& title)
{
    const COLORREF previousColour = ::SetTextColor(dc, RGB(255, 255, 255));
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const std::wstring text = AfxWide(title.c_str());
    ::TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
    ::SetBkMode(dc, previousMode);
    ::SetTextColor(dc, previousColour);
}
