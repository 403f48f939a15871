#include "skin/SkinFrame.h"

#include <memory>

#include "skin/LockedPixels.h"
#include "skin/core/NineGrid.h"

void CSkinFrame::SetFrames(const FrameList* frames)
{
    m_frame.SetFrames(CMyBitmap::ModeNineGrid, frames);
    m_composed.Release();
}

bool CSkinFrame::Paint(HDC dc, int width, int height)
{
    if (m_composed.Width() != width || m_composed.Height() != height)
        Compose(width, height);
    if (m_composed.IsEmpty())
        return false;
    // Only the bands the pieces cover: the centre is transparent, and blending it would change nothing.
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const RECT& in = m_centre;
    const RECT bands[] = {{0, 0, width, in.top},
                          {0, in.bottom, width, height},
                          {0, in.top, in.left, in.bottom},
                          {in.right, in.top, width, in.bottom}};
    for (const RECT& band : bands)
    {
        if (band.right > band.left && band.bottom > band.top)
            ::GdiAlphaBlend(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, m_composed,
                            band.left, band.top, band.right - band.left, band.bottom - band.top, blend);
    }
    return true;
}

void CSkinFrame::Compose(int width, int height)
{
    m_composed.Release();
    m_centre = RECT{0, 0, width, height};
    std::unique_ptr<Gdiplus::Bitmap> composed = m_frame.ComposeNineGrid(RECT{0, 0, width, height});
    if (!composed || !m_composed.Create(width, height) || !CopyPremultiplied(*composed, m_composed.Pixels()))
    {
        m_composed.Release();
        return;
    }
    NineGridPieceSize sizes[9];
    for (UINT k = 0; k < 9; ++k)
    {
        if (Gdiplus::Bitmap* piece = m_frame.GetFrameImage(k))
            sizes[k] = {static_cast<int>(piece->GetWidth()), static_cast<int>(piece->GetHeight())};
    }
    const NineGridCentre centre = PlanNineGridCentre(sizes, width, height);
    m_centre = RECT{centre.left, centre.top, centre.right, centre.bottom};
}
