#pragma once

#include <vector>

// Where the nine pieces of a border image go in a rectangle of W x H pixels. The pieces form a 3 x 3 grid read
// row by row (0 top-left, 1 top edge, 2 top-right, 3 left edge, 4 centre, 5 right edge, 6 bottom-left,
// 7 bottom edge, 8 bottom-right). Corners are placed once, edges are tiled at their own size; the centre is never
// drawn, so the interior stays as it was.
struct NineGridPieceSize
{
    int w = 0;
    int h = 0;
};

struct NineGridPlacement
{
    int piece = 0;
    int x = 0;
    int y = 0;

    bool operator==(const NineGridPlacement& other) const
    {
        return piece == other.piece && x == other.x && y == other.y;
    }
};

// The placements in drawing order: top-left, top tiles, top-right, the side rows (left then right piece),
// bottom-left, bottom tiles, bottom-right. The last tile of a run may run past its span; what is drawn after it
// covers the overrun. An edge piece without width (or height, for the sides) gets no tiles.
std::vector<NineGridPlacement> PlanNineGrid(const NineGridPieceSize (&pieces)[9], int width, int height);

// The part of a W x H rectangle that no piece covers, in the rectangle's coordinates (x0, y0, x1, y1): inside the
// widest piece of each side and the highest piece of the top and bottom rows. Pieces that meet or overlap leave an
// empty part at the first piece's edge; the result never lies outside the rectangle.
struct NineGridCentre
{
    int left = 0, top = 0, right = 0, bottom = 0;

    bool operator==(const NineGridCentre& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};
NineGridCentre PlanNineGridCentre(const NineGridPieceSize (&pieces)[9], int width, int height);

// One of the four bands around the centre that the pieces cover (the top band, the bottom band, then the left and
// right edges between them; x, y, width and height in the rectangle's coordinates), with the placements that reach
// into it, in drawing order, moved to the band's own coordinates. Drawn band by band, the pieces give each band the
// pixels the whole grid drawn at once (PlanNineGrid) has there, so only the bands need composing and keeping.
struct NineGridBand
{
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<NineGridPlacement> placements;
};
// The bands that are not empty, in the order above.
std::vector<NineGridBand> PlanNineGridBands(const NineGridPieceSize (&pieces)[9], int width, int height);
