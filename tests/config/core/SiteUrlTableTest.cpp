#include "config/core/SiteUrlTable.h"

#include <gtest/gtest.h>

#include "tests/core/ShippedDocuments.h"

namespace
{

CSiteUrlTable LoadText(const std::string& text)
{
    CSiteUrlTable table;
    table.Load(text.data(), static_cast<int>(text.size()));
    return table;
}

const CMbcsCodePage kGbk = CMbcsCodePage::Gbk();

} // namespace

TEST(SiteUrlTable, ShippedDocumentByKind)
{
    const CSiteUrlTable table = LoadText(ReadShippedDocument("siteurl.ini"));
    struct Case
    {
        int kind;
        const char* expected;
    } const cases[] = {
        {0, "http://www.lumora.example/index.php?r=game/index&game_id=1001"},
        {1, "http://open.lumora.example/game/payApiUrl.html?gameid=1001"},
        {2, "http://bbs.lumora.example"},
        {3, "http://static.lumora.example/static/web/online_service.html"},
        {4, "null"},
        {5, "null"},
        {6, "http://www.lumora.example/zrkpt/inlinelogin/?channelid=0"},
        {7, ".game.lumora.example"},
        {8, "http://www.partner.example/users/game_regist.php?gameid=133"},
        {9, "http://bbs.guide.example/forum-645-1.html"},
        {10, "HTTP://S"},
        {11, "null"},
        {-1, "null"},
        {1 << 30, "null"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.kind);
        EXPECT_STREQ(c.expected, table.GetSiteUrl(c.kind).Ansi());
    }
}

TEST(SiteUrlTable, MissingKeysStayEmptyAndOnlyTheFirstSectionCounts)
{
    const CSiteUrlTable table = LoadText("; leading comment\r\n[anything]\r\nMain= http://login/ \r\n"
                                         "[second]\r\nOfficial=http://official/\r\n");
    EXPECT_STREQ("http://login/ ", table.GetSiteUrl(SiteUrlMain).Ansi());
    EXPECT_STREQ("", table.GetSiteUrl(SiteUrlOfficial).Ansi());
    EXPECT_STREQ("", table.GetSiteUrl(SiteUrlExit).Ansi());

    const CSiteUrlTable empty = LoadText("no section");
    for (int kind = -1; kind <= 11; ++kind)
        EXPECT_STREQ("", empty.GetSiteUrl(kind).Ansi());
}

TEST(SiteUrlTable, NoPageMeansNullInAnyCase)
{
    struct Case
    {
        const char* url;
        bool noPage;
    } const cases[] = {
        {"null", true}, {"NULL", true},   {"Null", true},   {"nULl", true},   {"", false},
        {"nul", false}, {"nulls", false}, {"null ", false}, {" null", false}, {"http://www.lumora.example/", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(c.noPage, IsNoPageUrl(CAnsiString(c.url)));
    }
    EXPECT_FALSE(IsNoPageUrl(CAnsiString(nullptr)));
}

TEST(SiteUrlTable, GameServerTest)
{
    const CSiteUrlTable table = LoadText(ReadShippedDocument("siteurl.ini"));
    struct Case
    {
        const char* address;
        bool gameServer;
    } const cases[] = {
        {"http://s12.game.lumora.example/play.php?id=3", true},
        {"HtTp://S12.GaMe.LuMoRa.ExAmPlE/index.html", true},
        {"https://s12.game.lumora.example/play.php", false},
        {"http://www.lumora.example/zrkpt/inlinelogin/?channelid=0", false},
        {"http://www.game.lumora.example/", false},               // suffix without the prefix
        {"http://s12.lumora.example/", false},                    // prefix without the suffix
        {"about:blank?u=http://s1&h=.game.lumora.example", true}, // both in the query count too
        {"http://static.lumora.example/static/web/online_service.html", false},
        {"http://s1.game.lumora.example\xB0\x61/", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(c.gameServer, IsGameServerUrl(CAnsiString(c.address), table.LoginKey, table.LoginKeyPre, kGbk));
    }
}

TEST(SiteUrlTable, GameServerTestKeepsDoubleByteCharacters)
{
    // "\xB0s" is one GBK character; folded byte by byte, its trail byte would become S and start a match.
    const CAnsiString address("\xB0sx.game"), suffix(".GAME"), prefix("SX");
    EXPECT_FALSE(IsGameServerUrl(address, suffix, prefix, kGbk));
    EXPECT_TRUE(IsGameServerUrl(address, suffix, prefix, CMbcsCodePage()));
    // Empty keys occur in every address.
    EXPECT_TRUE(IsGameServerUrl(CAnsiString("http://anything/"), CAnsiString(), CAnsiString(), kGbk));
}
