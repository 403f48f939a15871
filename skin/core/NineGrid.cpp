#include "skin/core/NineGrid.h"

#include <algorithm>

namespace
{

// How many tiles of size tile cover span: the quotient, plus one for a remainder. None for an empty span or a
// tile without size (which could never cover anything).
int TileCount(int span, int tile)
{
    if (span <= 0 || tile <= 0)
        return 0;
    return span / tile + (span % tile != 0 ? 1 : 0);
}

} // namespace

std::vector<NineGridPlacement> PlanNineGrid(const NineGridPieceSize (&p)[9], int width, int height)
{
    std::vector<NineGridPlacement> plan;
    plan.push_back({0, 0, 0});
    const int topTiles = TileCount(width - p[0].w - p[2].w, p[1].w);
    for (int k = 0; k < topTiles; ++k)
        plan.push_back({1, p[0].w + k * p[1].w, 0});
    plan.push_back({2, width - p[2].w, 0});

    const int rows = TileCount(height - p[0].h - p[6].h, p[3].h);
    for (int k = 0; k < rows; ++k)
    {
        const int y = p[0].h + k * p[3].h;
        plan.push_back({3, 0, y});
        plan.push_back({5, width - p[5].w, y});
    }

    // The bottom tiles take their top from the bottom-left piece, not from their own height.
    const int bottom = height - p[6].h;
    plan.push_back({6, 0, bottom});
    const int bottomTiles = TileCount(width - p[6].w - p[8].w, p[7].w);
    for (int k = 0; k < bottomTiles; ++k)
        plan.push_back({7, p[6].w + k * p[7].w, bottom});
    plan.push_back({8, width - p[8].w, height - p[8].h});
    return plan;
}

NineGridCentre PlanNineGridCentre(const NineGridPieceSize (&p)[9], int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int left = std::min(std::max({p[0].w, p[3].w, p[6].w}), width);
    const int right = std::max({p[2].w, p[5].w, p[8].w});
    const int top = std::min(std::max({p[0].h, p[1].h, p[2].h}), height);
    const int bottom = std::max({p[6].h, p[7].h, p[8].h});
    return NineGridCentre{left, top, std::max(width - right, left), std::max(height - bottom, top)};
}

std::vector<NineGridBand> PlanNineGridBands(const NineGridPieceSize (&p)[9], int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const NineGridCentre c = PlanNineGridCentre(p, width, height);
    const NineGridBand outline[] = {{0, 0, width, c.top, {}},
                                    {0, c.bottom, width, height - c.bottom, {}},
                                    {0, c.top, c.left, c.bottom - c.top, {}},
                                    {c.right, c.top, width - c.right, c.bottom - c.top, {}}};
    const std::vector<NineGridPlacement> plan = PlanNineGrid(p, width, height);
    std::vector<NineGridBand> bands;
    for (NineGridBand band : outline)
    {
        if (band.width <= 0 || band.height <= 0)
            continue;
        for (const NineGridPlacement& placement : plan)
        {
            const NineGridPieceSize& size = p[placement.piece];
            const bool reaches = placement.x < band.x + band.width && placement.x + size.w > band.x &&
                                 placement.y < band.y + band.height && placement.y + size.h > band.y;
            if (reaches)
                band.placements.push_back({placement.piece, placement.x - band.x, placement.y - band.y});
        }
        bands.push_back(std::move(band));
    }
    return bands;
}
