#include "mainwnd/core/ScreenSizeTable.h"

#include <gtest/gtest.h>

#include "tests/core/ShippedDocuments.h"

namespace
{

CScreenSizeTables LoadText(const std::string& text)
{
    CScreenSizeTables tables;
    tables.Load(text.data(), static_cast<int>(text.size()));
    return tables;
}

uint32_t Entry(uint32_t screen, uint32_t window)
{
    return window << 16 | screen;
}

} // namespace

TEST(ScreenSizeTables, ShippedTablesInSortedOrder)
{
    const CScreenSizeTables tables = LoadText(ReadShippedDocument("resolution.ini"));
    EXPECT_EQ((std::vector<uint32_t>{Entry(1440, 1440), Entry(1366, 1366), Entry(1280, 1280), Entry(1024, 1024)}),
              tables.Widths());
    EXPECT_EQ((std::vector<uint32_t>{Entry(900, 800), Entry(800, 763), Entry(768, 731), Entry(720, 683)}),
              tables.Heights());
}

TEST(ScreenSizeTables, LookupWithShippedTables)
{
    const CScreenSizeTables tables = LoadText(ReadShippedDocument("resolution.ini"));
    struct Case
    {
        int size;
        bool width;
        int expected;
    } const cases[] = {
        {1920, true, 1440}, {1440, true, 1440}, {1439, true, 1366}, {1366, true, 1366}, {1024, true, 1024},
        {1023, true, 0},    {0, true, 0},       {-5, true, 0},      {1040, false, 800}, {900, false, 800},
        {899, false, 763},  {728, false, 683},  {720, false, 683},  {719, false, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.size << (c.width ? " wide" : " high"));
        EXPECT_EQ(c.expected, tables.LookupScreenSize(c.size, c.width));
    }
}

TEST(ScreenSizeTables, OrderFollowsWindowSizeAndValuesAreCutTo16Bits)
{
    const CScreenSizeTables tables = LoadText("[Width]\r\n1024=1200 \r\n1440=1000 \r\n1024=1200\r\n"
                                              "[Height]\r\n70000=70000\r\n");
    EXPECT_EQ(1200, tables.LookupScreenSize(1500, true));
    EXPECT_EQ(3u, tables.Widths().size()); // duplicates stay
    EXPECT_EQ((std::vector<uint32_t>{Entry(4464, 4464)}), tables.Heights());
}

TEST(ScreenSizeTables, MissingSectionsLeaveEmptyTables)
{
    struct Case
    {
        const char* name;
        const char* text;
        size_t widths, heights;
    } const cases[] = {
        {"no Width means no Height either", "[Height]\r\n900=800\r\n", 0, 0},
        {"Height before Width", "[Height]\r\n900=800\r\n[Width]\r\n1440=1440\r\n", 1, 0},
        {"Width only", "[Width]\r\n1440=1440\r\n", 1, 0},
        {"empty document", "", 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const CScreenSizeTables tables = LoadText(c.text);
        EXPECT_EQ(c.widths, tables.Widths().size());
        EXPECT_EQ(c.heights, tables.Heights().size());
        if (c.heights == 0)
            EXPECT_EQ(0, tables.LookupScreenSize(2000, false));
    }
}
