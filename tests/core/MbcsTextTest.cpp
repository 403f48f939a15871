#include "core/MbcsText.h"

#include <gtest/gtest.h>

namespace
{

const CMbcsCodePage kGbk = CMbcsCodePage::Gbk();

} // namespace

TEST(MbcsText, UpperKeepsDoubleByteCharacters)
{
    // "\xB0\x61" is a GBK character whose trail byte is the letter a; it must not become "\xB0\x41".
    struct Case
    {
        std::string text;
        std::string expected;
    } const cases[] = {
        {"http://s12.game.lumora.example/", "HTTP://S12.GAME.LUMORA.EXAMPLE/"},
        {"a\xB0\x61z", "A\xB0\x61Z"},
        {"\xD6\xD0\xCE\xC4xyz", "\xD6\xD0\xCE\xC4XYZ"},
        {"end\xB0", "END\xB0"}, // a lead byte with nothing after it stays a single byte
        {"", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        CAnsiString text(c.text);
        MbcsUpper(text, kGbk);
        EXPECT_EQ(c.expected, text.Bytes());
    }

    CAnsiString singleByte("a\xB0\x61z");
    MbcsUpper(singleByte, CMbcsCodePage());
    EXPECT_EQ("A\xB0\x41Z", singleByte.Bytes());
}

TEST(MbcsText, FindStartsOnlyOnCharacterBoundaries)
{
    struct Case
    {
        std::string text;
        std::string needle;
        size_t expected;
    } const cases[] = {
        {"HTTP://S1.GAME", "HTTP://S", 0},
        {"XX.GAME.Y", ".GAME", 2},
        {"abc", "", 0},
        {"abc", "abcd", std::string::npos},
        // The "A" here is the trail byte of a double-byte character, not a character of its own.
        {"\xB0"
         "AB",
         "AB", std::string::npos},
        {"\xB0"
         "AAB",
         "AB", 2},
        {"\xD6\xD0\xCE\xC4", "\xD0\xCE", std::string::npos},
        {"\xD6\xD0\xCE\xC4", "\xCE\xC4", 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text + " / " + c.needle);
        EXPECT_EQ(c.expected, MbcsFind(CAnsiString(c.text), CAnsiString(c.needle), kGbk));
    }
    EXPECT_EQ(1u, MbcsFind(CAnsiString("\xB0"
                                       "AB"),
                           CAnsiString("AB"), CMbcsCodePage()));
}

TEST(MbcsText, LeadByteRangesAsTheSystemReportsThem)
{
    const unsigned char ranges[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0}; // a Shift-JIS-like layout
    const CMbcsCodePage codePage(ranges);
    EXPECT_FALSE(codePage.IsLeadByte(0x80));
    EXPECT_TRUE(codePage.IsLeadByte(0x81));
    EXPECT_TRUE(codePage.IsLeadByte(0x9F));
    EXPECT_FALSE(codePage.IsLeadByte(0xA0));
    EXPECT_TRUE(codePage.IsLeadByte(0xFC));
    EXPECT_FALSE(codePage.IsLeadByte(0xFD));
    EXPECT_FALSE(CMbcsCodePage(nullptr).IsLeadByte(0x81));
}
