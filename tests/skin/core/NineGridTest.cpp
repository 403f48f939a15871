#include "skin/core/NineGrid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{

// The client's border pieces: a 30-pixel top band, 6-pixel sides, a 3-pixel bottom band.
const NineGridPieceSize kShipped[9] = {{6, 30}, {2, 30}, {6, 30}, {6, 2}, {6, 2}, {6, 2}, {6, 3}, {2, 3}, {6, 3}};

std::vector<NineGridPlacement> OfPiece(const std::vector<NineGridPlacement>& plan, int piece)
{
    std::vector<NineGridPlacement> found;
    for (const NineGridPlacement& placement : plan)
    {
        if (placement.piece == piece)
            found.push_back(placement);
    }
    return found;
}

} // namespace

TEST(NineGrid, ShippedPiecesIn100By50)
{
    const auto plan = PlanNineGrid(kShipped, 100, 50);

    std::vector<NineGridPlacement> expected;
    expected.push_back({0, 0, 0});
    for (int k = 0; k < 44; ++k)
        expected.push_back({1, 6 + 2 * k, 0});
    expected.push_back({2, 94, 0});
    for (int k = 0; k < 9; ++k)
    {
        expected.push_back({3, 0, 30 + 2 * k});
        expected.push_back({5, 94, 30 + 2 * k});
    }
    expected.push_back({6, 0, 47});
    for (int k = 0; k < 44; ++k)
        expected.push_back({7, 6 + 2 * k, 47});
    expected.push_back({8, 94, 47});
    EXPECT_EQ(expected, plan);
    EXPECT_TRUE(OfPiece(plan, 4).empty()); // the centre is never drawn
}

TEST(NineGrid, SpansAndTileCounts)
{
    struct Case
    {
        const char* name;
        int width, height;
        size_t topTiles, rows, bottomTiles;
    } const cases[] = {
        {"top span 1 with a 2-pixel tile: one tile", 13, 50, 1, 9, 1},
        {"top span 0: no tile, corners meet", 12, 50, 0, 9, 0},
        {"negative spans: corners overlap, nothing tiled", 8, 20, 0, 0, 0},
        {"side span 17 with 2-pixel rows: 9 rows", 100, 50, 44, 9, 44},
        {"side span 16: 8 rows", 100, 49, 44, 8, 44},
        {"no area at all", 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const auto plan = PlanNineGrid(kShipped, c.width, c.height);
        EXPECT_EQ(c.topTiles, OfPiece(plan, 1).size());
        EXPECT_EQ(c.rows, OfPiece(plan, 3).size());
        EXPECT_EQ(c.rows, OfPiece(plan, 5).size());
        EXPECT_EQ(c.bottomTiles, OfPiece(plan, 7).size());
        // Each corner exactly once, at the rectangle's corners whatever the spans.
        ASSERT_EQ(1u, OfPiece(plan, 2).size());
        EXPECT_EQ(c.width - 6, OfPiece(plan, 2)[0].x);
        ASSERT_EQ(1u, OfPiece(plan, 8).size());
        EXPECT_EQ(c.height - 3, OfPiece(plan, 8)[0].y);
    }
}

TEST(NineGrid, BottomTilesTakeTheBottomLeftPiecesHeightAndZeroSizedTilesAreSkipped)
{
    NineGridPieceSize pieces[9] = {{4, 4}, {3, 4}, {4, 4}, {4, 5}, {1, 1}, {4, 5}, {4, 6}, {3, 2}, {4, 7}};
    const auto plan = PlanNineGrid(pieces, 20, 30);
    EXPECT_EQ(24, OfPiece(plan, 7).front().y); // 30 - 6, not 30 - 2
    EXPECT_EQ(23, OfPiece(plan, 8).front().y); // its own height
    EXPECT_EQ((std::vector<NineGridPlacement>{{3, 0, 4}, {3, 0, 9}, {3, 0, 14}, {3, 0, 19}}), OfPiece(plan, 3));

    // A piece without size would need endless tiles; it gets none.
    pieces[1] = {0, 4};
    pieces[3] = {4, 0};
    const auto degenerate = PlanNineGrid(pieces, 20, 30);
    EXPECT_TRUE(OfPiece(degenerate, 1).empty());
    EXPECT_TRUE(OfPiece(degenerate, 3).empty());
}

TEST(NineGrid, CentreLeftByThePieces)
{
    // Inside the widest piece of each side and the highest of the top and bottom rows; where the pieces meet or
    // overlap, an empty centre at the first piece's edge, never outside the rectangle.
    const NineGridPieceSize uneven[9] = {{4, 30}, {2, 20}, {9, 25}, {7, 2}, {1, 1}, {3, 2}, {5, 6}, {2, 8}, {6, 3}};
    struct Case
    {
        const char* name;
        const NineGridPieceSize (*pieces)[9];
        int width, height;
        NineGridCentre expected;
    } const cases[] = {
        {"shipped, the smallest game window", &kShipped, 1000, 580, {6, 30, 994, 577}},
        {"shipped, 1280 x 600", &kShipped, 1280, 600, {6, 30, 1274, 597}},
        {"shipped, 3840 x 2160", &kShipped, 3840, 2160, {6, 30, 3834, 2157}},
        {"the widest and highest piece of each side", &uneven, 100, 80, {7, 30, 91, 72}},
        {"pieces wider than the rectangle", &kShipped, 10, 20, {6, 20, 6, 20}},
        {"nothing at all", &kShipped, 0, 0, {0, 0, 0, 0}},
        {"a negative size counts as none", &kShipped, -5, -5, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const NineGridCentre centre = PlanNineGridCentre(*c.pieces, c.width, c.height);
        EXPECT_EQ(c.expected.left, centre.left);
        EXPECT_EQ(c.expected.top, centre.top);
        EXPECT_EQ(c.expected.right, centre.right);
        EXPECT_EQ(c.expected.bottom, centre.bottom);
    }
}

namespace
{

// Draws placements into a width x height picture the way a copy-drawing surface does: each piece's pixel (a value
// that names the piece and the pixel within it) over what lies there, clipped to the picture. 0 is transparent.
std::vector<uint32_t> Draw(const NineGridPieceSize (&pieces)[9], const std::vector<NineGridPlacement>& placements,
                           int width, int height)
{
    std::vector<uint32_t> picture(static_cast<size_t>(width) * height, 0);
    for (const NineGridPlacement& at : placements)
        for (int y = 0; y < pieces[at.piece].h; ++y)
            for (int x = 0; x < pieces[at.piece].w; ++x)
            {
                const int px = at.x + x, py = at.y + y;
                if (px >= 0 && px < width && py >= 0 && py < height)
                    picture[static_cast<size_t>(py) * width + px] =
                        static_cast<uint32_t>(at.piece + 1) << 24 | static_cast<uint32_t>(y) << 12 | x;
            }
    return picture;
}

} // namespace

TEST(NineGrid, BandsHoldWhatTheWholeGridHoldsThere)
{
    // Composed band by band, every pixel of every band is the whole grid's pixel there; the bands do not overlap,
    // and what they leave is the centre, which the whole grid leaves transparent.
    const NineGridPieceSize uneven[9] = {{4, 30}, {3, 20}, {9, 25}, {7, 2}, {1, 1}, {3, 5}, {5, 6}, {2, 8}, {6, 3}};
    struct Case
    {
        const char* name;
        const NineGridPieceSize (*pieces)[9];
        int width, height;
    } const cases[] = {
        {"the smallest game window", &kShipped, 1000, 580},
        {"1280 x 600", &kShipped, 1280, 600},
        {"1920 x 1080", &kShipped, 1920, 1080},
        {"3840 x 2160", &kShipped, 3840, 2160},
        {"uneven pieces, tiles that overrun", &uneven, 101, 67},
        {"smaller than the pieces", &kShipped, 9, 20},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::vector<uint32_t> whole = Draw(*c.pieces, PlanNineGrid(*c.pieces, c.width, c.height), c.width,
                                                 c.height);
        std::vector<int> covered(whole.size(), 0);
        int differing = 0;
        for (const NineGridBand& band : PlanNineGridBands(*c.pieces, c.width, c.height))
        {
            const std::vector<uint32_t> own = Draw(*c.pieces, band.placements, band.width, band.height);
            for (int y = 0; y < band.height; ++y)
                for (int x = 0; x < band.width; ++x)
                {
                    const size_t at = static_cast<size_t>(band.y + y) * c.width + band.x + x;
                    differing += own[static_cast<size_t>(y) * band.width + x] != whole[at] ? 1 : 0;
                    ++covered[at];
                }
        }
        EXPECT_EQ(0, differing);
        const NineGridCentre centre = PlanNineGridCentre(*c.pieces, c.width, c.height);
        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
            {
                const bool inCentre = x >= centre.left && x < centre.right && y >= centre.top && y < centre.bottom;
                const size_t at = static_cast<size_t>(y) * c.width + x;
                wrong += covered[at] != (inCentre ? 0 : 1) || (inCentre && whole[at] != 0) ? 1 : 0;
            }
        EXPECT_EQ(0, wrong) << "pixels in no band or in two, or a centre pixel drawn";
    }
}
