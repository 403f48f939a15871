#pragma once

#include <map>
#include <memory>

#include "skin/core/AniFile.h"
#include "skin/core/NineGrid.h"
#include "skin/Gdiplus.h"

// A skin surface painted from a frame list: the list's first image stretched over a rectangle (single-image
// mode), or a border composed of nine pieces (nine-grid mode, 1). Every image it decodes is kept for its life.
class CMyBitmap
{
public:
    enum
    {
        ModeNineGrid = 1,
        ModeSingleImage = 2,
    };

    CMyBitmap() = default;
    virtual ~CMyBitmap();
    CMyBitmap(const CMyBitmap&) = delete;
    CMyBitmap& operator=(const CMyBitmap&) = delete;

    // Mode 1 is the nine-grid, anything else a single image. The list (null: the section is missing) stays
    // owned by its CAniFile, which must outlive this object. Images already decoded stay cached.
    void SetFrames(int mode, const FrameList* frames);

    // The image of entry index (decoded once, then cached; owned here, the caller may change its pixels), or
    // null when it cannot be had.
    Gdiplus::Bitmap* GetFrameImage(UINT index);
    // The image id of entry index (the list wraps round); 0 without a list.
    UINT FrameId(UINT index) const;
    // The image of entry index decoded anew for the caller, who keeps it as long as it needs it; nothing is cached.
    std::unique_ptr<Gdiplus::Bitmap> LoadFrameImage(UINT index) const;

    // Paints the surface into dc at its origin, at the size of rect.
    void Draw(const RECT& rect, HDC dc);

    // A new image of rect's size holding the nine-grid (transparent where no piece lies). Null when the list is not
    // a non-zero multiple of nine entries, or a piece cannot be loaded.
    std::unique_ptr<Gdiplus::Bitmap> ComposeNineGrid(const RECT& rect);
    // The sizes of the nine pieces; false when the list is not a non-zero multiple of nine entries, or a piece
    // cannot be loaded.
    bool NineGridPieces(NineGridPieceSize (&sizes)[9]);
    // A new width x height image holding the pieces drawn at placements (as PlanNineGrid and PlanNineGridBands give
    // them), transparent elsewhere. Null when a piece cannot be had.
    std::unique_ptr<Gdiplus::Bitmap> ComposePieces(int width, int height,
                                                   const std::vector<NineGridPlacement>& placements);

    // Paints image resource id (type "PNG") into dc at its origin, stretched to the size of rect.
    static void DrawResourceImage(const RECT& rect, HDC dc, UINT id);

private:
    int m_nMode = ModeSingleImage;
    const FrameList* m_pFrames = nullptr;
    std::map<UINT, std::unique_ptr<Gdiplus::Bitmap>> m_images;
};
