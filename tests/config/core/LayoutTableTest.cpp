#include "config/core/LayoutTable.h"

#include <gtest/gtest.h>

#include "tests/core/ShippedDocuments.h"

namespace
{

void ExpectLayout(const CLayoutTable& table, const char* name, int x, int y, int w, int h, int anchor)
{
    SCOPED_TRACE(name);
    const LayoutRect* rect = table.FindLayout(name);
    ASSERT_NE(nullptr, rect);
    EXPECT_EQ(x, rect->x);
    EXPECT_EQ(y, rect->y);
    EXPECT_EQ(w, rect->w);
    EXPECT_EQ(h, rect->h);
    EXPECT_EQ(anchor, rect->Anchor);
}

CLayoutTable LoadText(const std::string& text)
{
    CLayoutTable table;
    table.Load(text.data(), static_cast<int>(text.size()));
    return table;
}

} // namespace

TEST(LayoutTable, ShippedDocument)
{
    const CLayoutTable table = LoadText(ReadShippedDocument("layout.ini"));
    EXPECT_EQ(24u, table.Size());
    struct Case
    {
        const char* name;
        int x, y, w, h, anchor;
    } const cases[] = {
        {"DlgWeb", 320, 188, 684, 390, 0}, {"DlgWeb_Min", 0, 0, 1000, 580, 0}, {"WebCtrl", 0, 30, 130, 50, 0},
        {"WebCtrl_L", 3, 30, 3, 3, 0},     {"Official", 583, 68, 63, 64, 0},   {"Pay", 574, 284, 101, 101, 0},
        {"Exit", 448, 8, 37, 15, 0},       {"Pay_L", 357, 6, 38, 18, 1},       {"Icon_L", 5, 3, 24, 24, 0},
        {"Refresh_L", 135, 6, 38, 18, 1},  {"Min_L", 92, 3, 29, 25, 1},        {"Exit_L", 32, 3, 29, 25, 1},
        {"WebTitle_L", 38, 7, 500, 19, 0},
    };
    for (const Case& c : cases)
        ExpectLayout(table, c.name, c.x, c.y, c.w, c.h, c.anchor);

    for (const char* missing : {"dlgweb", "Setup_L", "Volume_L", "Max", "Icon", "Refresh", "Clear", "DlgWeb ", ""})
    {
        SCOPED_TRACE(missing);
        EXPECT_EQ(nullptr, table.FindLayout(missing));
    }
    EXPECT_EQ(nullptr, table.FindLayout(nullptr));
}

TEST(LayoutTable, MissingKeysReadZeroAndLaterSectionWins)
{
    const CLayoutTable table = LoadText("[A]\r\nx=1\r\ny=2\r\nw=3\r\nh=4\r\nAnchor=1\r\n"
                                        "[B]\r\nx=5\r\nw=6\r\n"
                                        "[A]\r\nx=7\r\n"
                                        "[]\r\ny=9\r\n");
    ExpectLayout(table, "A", 7, 0, 0, 0, 0);
    ExpectLayout(table, "B", 5, 0, 6, 0, 0);
    ExpectLayout(table, "", 0, 9, 0, 0, 0);
}

TEST(LayoutTable, ReloadReplacesAndBadInputGivesEmptyTable)
{
    CLayoutTable table = LoadText("[A]\r\nx=1\r\n");
    table.Load(nullptr, 10);
    EXPECT_EQ(0u, table.Size());
    table.Load("no sections", 11);
    EXPECT_EQ(0u, table.Size());
}
