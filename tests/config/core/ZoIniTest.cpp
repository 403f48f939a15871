#include "config/core/ZoIni.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/ShippedDocuments.h"

using ZoGameBase::CZoIni;

namespace
{

bool Load(CZoIni& ini, const std::string& text)
{
    return ini.LoadBuffer(text.data(), static_cast<int>(text.size()));
}

// Every section of a document with its entries, as NextSection and ReadEntry see them.
std::vector<std::pair<std::string, std::vector<std::string>>> Walk(const std::string& text)
{
    CZoIni ini;
    Load(ini, text);
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    while (ini.NextSection())
    {
        std::vector<std::string> entries;
        for (int i = 0; i < ini.GetEntryCount(); ++i)
        {
            std::string key, value;
            EXPECT_TRUE(ini.ReadEntry(i, key, value));
            entries.push_back(key + "|" + value);
        }
        sections.emplace_back(ini.GetSectionName(), entries);
    }
    return sections;
}

} // namespace

TEST(ZoIniLoad, RefusesNullEmptyAndSecondDocument)
{
    CZoIni ini;
    EXPECT_FALSE(ini.LoadBuffer(nullptr, 5));
    EXPECT_FALSE(ini.LoadBuffer("[a]", 0));
    EXPECT_FALSE(ini.LoadBuffer("[a]", -1));
    ASSERT_TRUE(Load(ini, "[first]\r\nk=1\r\n"));
    EXPECT_FALSE(Load(ini, "[second]\r\nk=2\r\n"));
    ASSERT_TRUE(ini.NextSection());
    EXPECT_STREQ("first", ini.GetSectionName());

    ini.FreeBuffer();
    EXPECT_STREQ("", ini.GetSectionName());
    EXPECT_FALSE(ini.NextSection());
    ASSERT_TRUE(Load(ini, "[second]\r\nk=2\r\n"));
    ASSERT_TRUE(ini.NextSection());
    EXPECT_STREQ("second", ini.GetSectionName());
}

TEST(ZoIniLoad, ReadsCopyNotCallersBuffer)
{
    std::string text = "[s]\r\nk=v\r\n";
    CZoIni ini;
    ASSERT_TRUE(Load(ini, text));
    text.assign(text.size(), 'x');
    ASSERT_TRUE(ini.NextSection());
    std::string value;
    ASSERT_TRUE(ini.ReadString("k", value));
    EXPECT_EQ("v", value);
}

TEST(ZoIniSyntax, SectionsEntriesCommentsAndLineEnds)
{
    static const char text[] = "orphan=before any header\r\n"
                               "[ spaced name ]\r\n"
                               "  indented=1\r\n"
                               "; comment\r\n"
                               "   // also a comment\r\n"
                               "/single slash=entry\r\n"
                               "\t \r\n"
                               "\r\n"
                               "[]\n"
                               "lf=only\n"
                               "[head] ; not a header\r\n"
                               "[[nested]]\r\n"
                               "[empty]\r\n"
                               "[last]\r\n"
                               "zero\0byte=ends a line\r\n";
    const auto sections = Walk(std::string(text, sizeof text - 1));
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {" spaced name ", {"indented|1", "/single slash|entry"}},
        {"", {"lf|only", "[head] ; not a header|"}},
        {"[nested]", {}},
        {"empty", {}},
        {"last", {"zero|", "byte|ends a line"}},
    };
    EXPECT_EQ(expected, sections);
}

TEST(ZoIniSyntax, CrTakesTheNextCharacterAlong)
{
    // A CR swallows whatever follows it: the "k" of the key and the "[" of the next header.
    const auto sections = Walk("[a]\rk=1\r[b]\r\n");
    ASSERT_EQ(1u, sections.size());
    EXPECT_EQ((std::vector<std::string>{"|1", "b]|"}), sections[0].second);
}

TEST(ZoIniLookup, ValueRules)
{
    struct Case
    {
        const char* name;
        const char* line; // followed by CR LF inside section [s]
        const char* key;
        bool found;
        const char* value;
    } const cases[] = {
        {"plain", "k=v", "k", true, "v"},
        {"leading spaces dropped, trailing kept", "k=  v w \t", "k", true, "v w \t"},
        {"tab after equals kept", "k=\tv", "k", true, "\tv"},
        {"semicolon is part of the value", "k=v ; not a comment", "k", true, "v ; not a comment"},
        {"spaces only give an empty value", "k=   ", "k", true, ""},
        {"nothing after equals is a format error", "k=", "k", false, ""},
        {"blank before equals hides the key", "k =v", "k", false, ""},
        {"key is a prefix of a longer key", "key=v", "k", false, ""},
        {"case-sensitive", "K=v", "k", false, ""},
        {"indented entry", "    k=v", "k", true, "v"},
        {"equals in the value", "k=a=b", "k", true, "a=b"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CZoIni ini;
        ASSERT_TRUE(Load(ini, std::string("[s]\r\n") + c.line + "\r\n[t]\r\n"));
        ASSERT_TRUE(ini.NextSection());
        std::string value = "untouched";
        EXPECT_EQ(c.found, ini.ReadString(c.key, value));
        EXPECT_EQ(c.found ? c.value : "untouched", value);
    }
}

TEST(ZoIniLookup, FirstDuplicateWinsAndOnlyCurrentSectionCounts)
{
    CZoIni ini;
    ASSERT_TRUE(Load(ini, "[a]\r\nk=1\r\nk=2\r\n[b]\r\nother=3\r\n"));
    ASSERT_TRUE(ini.NextSection());
    int value = 0;
    ASSERT_TRUE(ini.ReadInt("k", value));
    EXPECT_EQ(1, value);
    ASSERT_TRUE(ini.NextSection());
    value = 42;
    EXPECT_FALSE(ini.ReadInt("k", value));
    EXPECT_EQ(42, value);
}

TEST(ZoIniLookup, UnterminatedLastLineKeepsLeadingSpace)
{
    struct Case
    {
        const char* tail;
        const char* value;
    } const cases[] = {
        {"k= v", " v"},     // runs into the end: everything after "=", leading space included
        {"k= v\r\n", "v"},  // a proper line end: leading spaces dropped
        {"k= v\r", " v\r"}, // a lone CR at the end counts as no line end, and stays in the value
        {"k=", ""},         // never a format error on the unterminated last line
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.tail);
        CZoIni ini;
        ASSERT_TRUE(Load(ini, std::string("[s]\r\n") + c.tail));
        ASSERT_TRUE(ini.NextSection());
        std::string value = "untouched";
        EXPECT_TRUE(ini.ReadString("k", value));
        EXPECT_EQ(c.value, value);
    }
}

TEST(ZoIniLookup, NullOrEmptyKeyAndUnloadedObjectFail)
{
    CZoIni ini;
    std::string value = "untouched";
    EXPECT_FALSE(ini.ReadString("k", value));
    ASSERT_TRUE(Load(ini, "[s]\r\nk=v\r\n"));
    ASSERT_TRUE(ini.NextSection());
    EXPECT_FALSE(ini.ReadString(nullptr, value));
    EXPECT_FALSE(ini.ReadString("", value));
    EXPECT_EQ("untouched", value);
}

TEST(ZoIniLookup, ReadIntConvertsLikeAtoi)
{
    struct Case
    {
        const char* value;
        int expected;
    } const cases[] = {
        {"42", 42},
        {"  -17", -17},
        {"+8", 8},
        {"12abc", 12},
        {"abc", 0},
        {"1440 ", 1440},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"99999999999999999999", 2147483647},
        {"-99999999999999999999", -2147483647 - 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.value);
        CZoIni ini;
        ASSERT_TRUE(Load(ini, std::string("[s]\r\nn=") + c.value + "\r\n"));
        ASSERT_TRUE(ini.NextSection());
        int value = -1;
        ASSERT_TRUE(ini.ReadInt("n", value));
        EXPECT_EQ(c.expected, value);
    }
}

TEST(ZoIniLookup, LongValuesAreCut)
{
    const std::string longValue(5000, 'v');
    for (const char* end : {"\r\n", ""})
    {
        SCOPED_TRACE(*end ? "terminated" : "unterminated");
        CZoIni ini;
        ASSERT_TRUE(Load(ini, "[s]\r\nk=" + longValue + end));
        ASSERT_TRUE(ini.NextSection());
        std::string value;
        ASSERT_TRUE(ini.ReadString("k", value));
        EXPECT_EQ(std::string(CZoIni::kScratchSize - 1, 'v'), value);
    }
}

TEST(ZoIniSections, FindSectionMatchesByPrefixAndOnlyForwards)
{
    const std::string resolution = ReadShippedDocument("resolution.ini");
    {
        CZoIni ini;
        ASSERT_TRUE(Load(ini, resolution));
        ASSERT_TRUE(ini.FindSection("Height"));
        EXPECT_EQ(4, ini.GetEntryCount());
        EXPECT_FALSE(ini.FindSection("Width"));
    }
    {
        CZoIni ini;
        ASSERT_TRUE(Load(ini, "[Widths]\r\na=1\r\n[Width]\r\nb=2\r\n"));
        ASSERT_TRUE(ini.FindSection("Width"));
        EXPECT_STREQ("Widths", ini.GetSectionName());
    }
    {
        CZoIni ini;
        ASSERT_TRUE(Load(ini, "[a]\r\nk=1\r\n"));
        ASSERT_TRUE(ini.NextSection());
        EXPECT_FALSE(ini.FindSection(nullptr));
        EXPECT_FALSE(ini.FindSection(""));
        EXPECT_STREQ("a", ini.GetSectionName());
        EXPECT_EQ(1, ini.GetEntryCount());
    }
}

TEST(ZoIniSections, FailedFindSectionPoisonsTheObject)
{
    CZoIni ini;
    ASSERT_TRUE(Load(ini, "[a]\r\nk=1\r\n[b]\r\nk=2\r\n"));
    ASSERT_TRUE(ini.NextSection());
    EXPECT_FALSE(ini.FindSection("missing"));
    EXPECT_EQ(0, ini.GetEntryCount());
    EXPECT_STREQ("a", ini.GetSectionName());
    EXPECT_FALSE(ini.NextSection());
    EXPECT_FALSE(ini.FindSection("b"));
}

TEST(ZoIniSections, OverlongHeaderFailsThenReadingGoesOn)
{
    const std::string longName(256, 'n');
    const std::string maxName(255, 'm');
    CZoIni ini;
    ASSERT_TRUE(Load(ini, "[ok]\r\nk=1\r\n[" + longName + "]\r\nk=2\r\n[" + maxName + "]\r\nk=3\r\n"));
    ASSERT_TRUE(ini.NextSection());
    EXPECT_FALSE(ini.NextSection());
    EXPECT_STREQ("ok", ini.GetSectionName());
    EXPECT_EQ(0, ini.GetEntryCount());
    ASSERT_TRUE(ini.NextSection());
    EXPECT_EQ(maxName, ini.GetSectionName());
    std::string value;
    ASSERT_TRUE(ini.ReadString("k", value));
    EXPECT_EQ("3", value);
}

TEST(ZoIniEntries, ReadEntryByPosition)
{
    const std::string resolution = ReadShippedDocument("resolution.ini");
    CZoIni ini;
    ASSERT_TRUE(Load(ini, resolution));
    ASSERT_TRUE(ini.FindSection("Width"));
    std::string key = "untouched", value = "untouched";
    ASSERT_TRUE(ini.ReadEntry(0, key, value));
    EXPECT_EQ("1440", key);
    EXPECT_EQ("1440 ", value);
    EXPECT_FALSE(ini.ReadEntry(-1, key, value));
    EXPECT_FALSE(ini.ReadEntry(4, key, value));
}

TEST(ZoIniEntries, KeepsBlanksAroundEqualsAndCutsLongEntries)
{
    const std::string longEntry = "k=" + std::string(3000, 'v');
    CZoIni ini;
    ASSERT_TRUE(Load(ini, "[s]\r\n  a = b  \r\nno equals here\r\n" + longEntry));
    ASSERT_TRUE(ini.NextSection());
    std::string key, value;
    ASSERT_TRUE(ini.ReadEntry(0, key, value));
    EXPECT_EQ("a ", key);
    EXPECT_EQ(" b  ", value);
    ASSERT_TRUE(ini.ReadEntry(1, key, value));
    EXPECT_EQ("no equals here", key);
    EXPECT_EQ("", value);
    ASSERT_TRUE(ini.ReadEntry(2, key, value));
    EXPECT_EQ("k", key);
    EXPECT_EQ(std::string(CZoIni::kScratchSize - 1 - 2, 'v'), value);
}
