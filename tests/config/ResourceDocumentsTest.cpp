// The four configuration documents as the executable carries them: exactly the bytes of the files under res/,
// in US English only, and read into the same tables as the files themselves.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "config/TextResource.h"
#include "config/core/LayoutTable.h"
#include "config/core/SiteUrlTable.h"
#include "config/core/ZoIni.h"
#include "mainwnd/core/ScreenSizeTable.h"
#include "res/resource.h"
#include "skin/core/AniFile.h"
#include "tests/support/ResourceLists.h"

namespace
{

const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

struct Document
{
    int id;
    const char* fileName;
};

const Document kDocuments[] = {
    {IDR_LAYOUT_DOC, "layout.ini"},         {IDR_SITEURL_DOC, "siteurl.ini"}, {IDR_ANIMATION_DOC, "animation.ini"},
    {IDR_RESOLUTION_DOC, "resolution.ini"}, {IDR_BROWSER_DOC, "browser.ini"},
};

// The source tree lives on the Linux side, which Wine shows as drive Z:. The path is spelled out with the drive
// because a bare "/..." would be taken relative to whatever drive is current.
std::string ReadSourceFile(const char* fileName)
{
    std::string path = std::string("Z:") + LUMORA_RES_DIR + "/" + fileName;
    std::replace(path.begin(), path.end(), '/', '\\');
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot open " << path;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ReadResource(int id)
{
    std::string text;
    EXPECT_TRUE(LoadTextResource(nullptr, id, text)) << "no TEXT resource " << id;
    return text;
}

// Offset of the first byte where a and b differ, or the shorter length; npos when they are equal.
size_t FirstDifference(const std::string& a, const std::string& b)
{
    const auto mismatch = std::mismatch(a.begin(), a.begin() + std::min(a.size(), b.size()), b.begin());
    const size_t at = static_cast<size_t>(mismatch.first - a.begin());
    return at == a.size() && at == b.size() ? std::string::npos : at;
}

// Every section header of a document, in order, as the parser reads them.
std::vector<std::string> SectionNames(const std::string& text)
{
    ZoGameBase::CZoIni ini;
    ini.LoadBuffer(text.data(), static_cast<int>(text.size()));
    std::vector<std::string> names;
    while (ini.NextSection())
        names.push_back(ini.GetSectionName());
    return names;
}

} // namespace

TEST(ResourceDocuments, EachIsItsFileByteForByte)
{
    for (const Document& doc : kDocuments)
    {
        SCOPED_TRACE(doc.fileName);
        const std::string file = ReadSourceFile(doc.fileName);
        ASSERT_FALSE(file.empty());

        // Straight through the loader, for the language the documents are declared in...
        HRSRC info = FindResourceExA(nullptr, "TEXT", MAKEINTRESOURCEA(doc.id), kUsEnglish);
        ASSERT_NE(nullptr, info);
        EXPECT_EQ(file.size(), SizeofResource(nullptr, info));
        const void* bytes = LockResource(LoadResource(nullptr, info));
        ASSERT_NE(nullptr, bytes);
        EXPECT_EQ(0, std::memcmp(file.data(), bytes, std::min<size_t>(file.size(), SizeofResource(nullptr, info))));

        // ...and through the helper the client reads them with.
        const std::string resource = ReadResource(doc.id);
        EXPECT_EQ(file.size(), resource.size());
        EXPECT_EQ(std::string::npos, FirstDifference(file, resource)) << "first difference at this offset";
    }
}

TEST(ResourceDocuments, TextTypeHoldsExactlyTheDocuments)
{
    const std::vector<int> ids = ResourceIds("TEXT");
    std::vector<int> expected;
    for (const Document& doc : kDocuments)
        expected.push_back(doc.id);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, ids);
}

TEST(ResourceDocuments, EachIsUsEnglishOnly)
{
    for (const Document& doc : kDocuments)
    {
        SCOPED_TRACE(doc.fileName);
        const std::vector<WORD> languages = ResourceLanguages("TEXT", doc.id);
        EXPECT_EQ(std::vector<WORD>{1033}, languages);
        // The lookup without a language (the thread's own, then the fallbacks) lands on that one entry.
        EXPECT_EQ(FindResourceExA(nullptr, "TEXT", MAKEINTRESOURCEA(doc.id), kUsEnglish),
                  FindResourceA(nullptr, MAKEINTRESOURCEA(doc.id), "TEXT"));
    }
}

TEST(ResourceDocuments, MissingIdLeavesTextUntouched)
{
    // 135 and 136 sit between shipped ids; the others are past them or at the edge of the id range.
    for (int id : {1, 135, 136, 198, 201, 0xFFFF})
    {
        SCOPED_TRACE(id);
        std::string text = "kept";
        EXPECT_FALSE(LoadTextResource(nullptr, id, text));
        EXPECT_EQ("kept", text);
    }
}

TEST(ResourceDocuments, LayoutTableSameAsFromFile)
{
    const std::string file = ReadSourceFile("layout.ini");
    const std::string resource = ReadResource(IDR_LAYOUT_DOC);
    CLayoutTable fromFile;
    fromFile.Load(file.data(), static_cast<int>(file.size()));
    CLayoutTable fromResource;
    fromResource.Load(resource.data(), static_cast<int>(resource.size()));

    const std::vector<std::string> names = SectionNames(file);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), fromResource.Size());
    EXPECT_EQ(fromFile.Size(), fromResource.Size());
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        const LayoutRect* a = fromFile.FindLayout(name.c_str());
        const LayoutRect* b = fromResource.FindLayout(name.c_str());
        ASSERT_NE(nullptr, a);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(a->x, b->x);
        EXPECT_EQ(a->y, b->y);
        EXPECT_EQ(a->w, b->w);
        EXPECT_EQ(a->h, b->h);
        EXPECT_EQ(a->Anchor, b->Anchor);
    }

    // First and last sections, an anchored one, and one whose commented-out lines must not count.
    struct Case
    {
        const char* name;
        int x, y, w, h, anchor;
    } const cases[] = {
        {"DlgWeb", 320, 188, 684, 390, 0}, {"Exit_L", 32, 3, 29, 25, 1},      {"Icon_L", 5, 3, 24, 24, 0},
        {"Refresh_L", 135, 6, 38, 18, 1},  {"WebTitle_L", 38, 7, 500, 19, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const LayoutRect* rect = fromResource.FindLayout(c.name);
        ASSERT_NE(nullptr, rect);
        EXPECT_EQ(c.x, rect->x);
        EXPECT_EQ(c.y, rect->y);
        EXPECT_EQ(c.w, rect->w);
        EXPECT_EQ(c.h, rect->h);
        EXPECT_EQ(c.anchor, rect->Anchor);
    }
}

TEST(ResourceDocuments, SiteUrlTableSameAsFromFile)
{
    const std::string file = ReadSourceFile("siteurl.ini");
    const std::string resource = ReadResource(IDR_SITEURL_DOC);
    CSiteUrlTable fromFile;
    fromFile.Load(file.data(), static_cast<int>(file.size()));
    CSiteUrlTable fromResource;
    fromResource.Load(resource.data(), static_cast<int>(resource.size()));

    // Every kind, including those outside the named range, which fall back to Exit.
    for (int kind = -1; kind <= SiteUrlLoginKeyPre + 1; ++kind)
    {
        SCOPED_TRACE(kind);
        EXPECT_STREQ(fromFile.GetSiteUrl(kind).Ansi(), fromResource.GetSiteUrl(kind).Ansi());
    }

    // The values next to the document's GBK comment lines come through whole.
    struct Case
    {
        int kind;
        const char* url;
    } const cases[] = {
        {SiteUrlExit, "null"},
        {SiteUrlOfficial, "http://www.lumora.example/index.php?r=game/index&game_id=1001"},
        {SiteUrlMain, "http://www.lumora.example/zrkpt/inlinelogin/?channelid=0"},
        {SiteUrlLoginKeyPre, "HTTP://S"},
        {SiteUrlLoginKey, ".game.lumora.example"},
        {SiteUrlGuide, "http://bbs.guide.example/forum-645-1.html"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.kind);
        EXPECT_STREQ(c.url, fromResource.GetSiteUrl(c.kind).Ansi());
    }
    EXPECT_TRUE(IsNoPageUrl(fromResource.GetSiteUrl(SiteUrlExit)));
}

TEST(ResourceDocuments, AnimationFramesSameAsFromFile)
{
    // LoadFromText wants a zero-terminated document; the resource itself is not terminated.
    const std::string file = ReadSourceFile("animation.ini");
    const std::string resource = ReadResource(IDR_ANIMATION_DOC);
    CAniFile fromFile;
    ASSERT_TRUE(fromFile.LoadFromText(file.c_str()));
    CAniFile fromResource;
    ASSERT_TRUE(fromResource.LoadFromText(resource.c_str()));

    const FrameList background = {"129"};
    const FrameList strip = {"151", "152", "153", "154", "155", "156", "157", "158", "159"};
    struct Case
    {
        const char* name;
        const FrameList* frames;
    } const cases[] = {{"Bg", &background}, {"Toolbar", &strip}, {"WebFrame", &strip}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const FrameList* a = fromFile.GetFrames(c.name);
        const FrameList* b = fromResource.GetFrames(c.name);
        ASSERT_NE(nullptr, a);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(*c.frames, *b);
        EXPECT_EQ(*a, *b);
    }
    EXPECT_EQ(SectionNames(file).size(), std::size(cases));
    EXPECT_EQ(nullptr, fromResource.GetFrames("bg"));
}

TEST(ResourceDocuments, ScreenSizeTablesSameAsFromFile)
{
    const std::string file = ReadSourceFile("resolution.ini");
    const std::string resource = ReadResource(IDR_RESOLUTION_DOC);
    CScreenSizeTables fromFile;
    fromFile.Load(file.data(), static_cast<int>(file.size()));
    CScreenSizeTables fromResource;
    fromResource.Load(resource.data(), static_cast<int>(resource.size()));

    EXPECT_EQ(4u, fromResource.Widths().size());
    EXPECT_EQ(4u, fromResource.Heights().size());
    EXPECT_EQ(fromFile.Widths(), fromResource.Widths());
    EXPECT_EQ(fromFile.Heights(), fromResource.Heights());

    // Work-area sizes on, between, above and below the listed ones.
    struct Case
    {
        int size;
        bool width;
        int window;
    } const cases[] = {
        {1920, true, 1440}, {1440, true, 1440}, {1366, true, 1366}, {1300, true, 1280},
        {1024, true, 1024}, {1023, true, 0},    {1080, false, 800}, {900, false, 800},
        {899, false, 763},  {768, false, 731},  {720, false, 683},  {719, false, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.width ? "width " : "height ") << c.size);
        EXPECT_EQ(c.window, fromResource.LookupScreenSize(c.size, c.width));
    }
}
