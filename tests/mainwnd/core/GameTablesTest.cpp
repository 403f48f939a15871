#include "mainwnd/core/GameTables.h"

#include <gtest/gtest.h>

#include "tests/core/ShippedDocuments.h"

TEST(GameTables, ShippedDocumentsAndReloading)
{
    CGameTables tables;
    EXPECT_EQ(nullptr, tables.FindLayout("DlgWeb"));
    EXPECT_EQ("", tables.GetSiteUrl(SiteUrlMain).Bytes());

    tables.LoadLayouts(ReadShippedDocument("layout.ini"), ReadShippedDocument("resolution.ini"));
    tables.LoadSiteUrls(ReadShippedDocument("siteurl.ini"));
    const LayoutRect* web = tables.FindLayout("DlgWeb");
    ASSERT_NE(nullptr, web);
    EXPECT_EQ(320, web->x);
    EXPECT_EQ(188, web->y);
    EXPECT_NE(0, tables.LookupScreenSize(1920, true));
    EXPECT_EQ("http://www.lumora.example/zrkpt/inlinelogin/?channelid=0", tables.GetSiteUrl(SiteUrlMain).Bytes());

    // A load replaces what the tables held; it does not add to it.
    tables.LoadLayouts("[Only]\r\nx=1\r\n", "");
    tables.LoadSiteUrls("");
    EXPECT_EQ(nullptr, tables.FindLayout("DlgWeb"));
    EXPECT_NE(nullptr, tables.FindLayout("Only"));
    EXPECT_EQ(0, tables.LookupScreenSize(1920, true));
    EXPECT_EQ("", tables.GetSiteUrl(SiteUrlMain).Bytes());
}
