#include "skin/MyBitmap.h"

#include <memory>

#include "config/core/ZoIni.h"
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
    std::unique_ptr<Gdiplus::Bitmap> loaded = LoadFrameImage(index);
    if (!loaded)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap>& image = m_images[index];
    image = std::move(loaded);
    return image.get();
}

UINT CMyBitmap::FrameId(UINT index) const
{
    if (!m_pFrames || m_pFrames->empty())
        return 0;
    const std::string& entry = (*m_pFrames)[index % m_pFrames->size()];
    return static_cast<UINT>(ZoGameBase::TextToInt(entry.c_str()));
}

std::unique_ptr<Gdiplus::Bitmap> CMyBitmap::LoadFrameImage(UINT index) const
{
    if (!m_pFrames || m_pFrames->empty())
        return nullptr;
    return LoadResourceImage(FrameId(index), "PNG");
}

bool CMyBitmap::NineGridPieces(NineGridPieceSize (&sizes)[9])
{
    if (!m_pFrames || m_pFrames->empty() || m_pFrames->size() % 9 != 0)
        return false;
    // Every piece's size is needed for a plan: a piece that cannot be loaded leaves nothing to compose.
    for (UINT k = 0; k < 9; ++k)
    {
        Gdiplus::Bitmap* piece = GetFrameImage(k);
        if (!piece)
            return false;
        sizes[k] = {static_cast<int>(piece->GetWidth()), static_cast<int>(piece->GetHeight())};
    }
    return true;
}

std::unique_ptr<Gdiplus::Bitmap> CMyBitmap::ComposeNineGrid(const RECT& rect)
{
    NineGridPieceSize sizes[9];
    if (!NineGridPieces(sizes))
        return nullptr;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    return ComposePieces(width, height, PlanNineGrid(sizes, width, height));
}

std::unique_ptr<Gdiplus::Bitmap> CMyBitmap::ComposePieces(int width, int height,
                                                          const std::vector<NineGridPlacement>& placements)
{
    std::unique_ptr<Gdiplus::Bitmap> composed(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
    if (!composed)
        return nullptr;
    // The surface goes before the image is handed out: its drawing is then done.
    Gdiplus::Graphics surface(composed.get());
    for (const NineGridPlacement& placement : placements)
    {
        Gdiplus::Bitmap* piece = GetFrameImage(static_cast<UINT>(placement.piece));
        if (!piece)
            return nullptr;
        surface.DrawImage(piece, placement.x, placement.y, static_cast<INT>(piece->GetWidth()),
                          static_cast<INT>(piece->GetHeight()));
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
