#include "skin/MyBitmap.h"

#include <memory>

#include "config/core/ZoIni.h"
#include "skin/core/NineGrid.h"
#include "skin/ResourceImage.h"

CMyBitmap::~CMyBitmap() = default;

void CMyBitmap::SetFrames(int mode, const FrameList* frames)
{
    m_nMode = mode;
    m_pFrames = frames;
}

Gdiplus::Bitmap* CMyBitmap::GetFrameImage(UINT index)
{
    if (!m_pFrames)
        return nullptr;
    auto cached = m_images.find(index);
    if (cached != m_images.end() && cached->second)
        return cached->second.get();
    if (m_pFrames->empty())
        return nullptr;
    const std::string& entry = (*m_pFrames)[index % m_pFrames->size()];
    const int id = ZoGameBase::TextToInt(entry.c_str());
    std::unique_ptr<Gdiplus::Bitmap> loaded = LoadResourceImage(static_cast<UINT>(id), "PNG");
    if (!loaded)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap>& image = m_images[index];
    image = std::move(loaded);
    return image.get();
}

std::unique_ptr<Gdiplus::Bitmap> CMyBitmap::ComposeNineGrid(const RECT& rect)
{
    if (!m_pFrames || m_pFrames->empty() || m_pFrames->size() % 9 != 0)
        return nullptr;

    // Every piece's size is needed for the plan: a piece that cannot be loaded leaves nothing to compose.
    Gdiplus::Bitmap* pieces[9] = {};
    NineGridPieceSize sizes[9];
    for (UINT k = 0; k < 9; ++k)
    {
        pieces[k] = GetFrameImage(k);
        if (!pieces[k])
            return nullptr;
        sizes[k] = {static_cast<int>(pieces[k]->GetWidth()), static_cast<int>(pieces[k]->GetHeight())};
    }

    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::unique_ptr<Gdiplus::Bitmap> composed(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
    if (!composed)
        return nullptr;
    // The surface goes before the image is handed out: its drawing is then done.
    Gdiplus::Graphics surface(composed.get());
    for (const NineGridPlacement& placement : PlanNineGrid(sizes, width, height))
    {
        surface.DrawImage(pieces[placement.piece], placement.x, placement.y, sizes[placement.piece].w,
                          sizes[placement.piece].h);
    }
    return composed;
}

void CMyBitmap::Draw(const RECT& rect, HDC dc)
{
    if (!dc)
        return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (m_nMode == ModeNineGrid)
    {
        std::unique_ptr<Gdiplus::Bitmap> composed = ComposeNineGrid(rect);
        if (!composed)
            return;
        Gdiplus::Graphics surface(dc);
        surface.DrawImage(composed.get(), 0, 0, width, height);
        return;
    }
    if (Gdiplus::Bitmap* image = GetFrameImage(0))
    {
        Gdiplus::Graphics surface(dc);
        surface.DrawImage(image, 0, 0, width, height);
    }
}

void CMyBitmap::DrawResourceImage(const RECT& rect, HDC dc, UINT id)
{
    std::unique_ptr<Gdiplus::Bitmap> image = LoadResourceImage(id, "PNG");
    if (!image)
        return;
    Gdiplus::Graphics surface(dc);
    surface.DrawImage(image.get(), 0, 0, rect.right - rect.left, rect.bottom - rect.top);
}
