// The skin's pictures as the executable carries them: every id under its exact type name, at its pixel size and in
// the stored format the decoder is handed (read from the raw bytes: PNG header and chunk list, JPEG frame header),
// then the few pixel properties the client depends on, decoded by GDI+ as the client decodes them.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ResourceLists.h"

namespace
{

const WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

enum class Stored
{
    PngRgba,
    PngRgb,
    PngPalette,
    Jpeg,
};

// What a PNG carries beside its pixels.
enum Extras : unsigned
{
    kPlain = 0,
    kTransparency = 1, // a tRNS chunk
    kProfile = 2,      // an iCCP chunk (embedded colour profile)
};

// Consecutive ids that share type, size and storage.
struct IdRun
{
    int first, last;
    std::string type;
    int width, height;
    Stored stored;
    unsigned extras;
};

// The inventory of res/images/inventory.tsv, the one table of the skin's pictures (the brand check reads it too),
// through Wine's drive for the Linux root. A line that does not parse becomes a run with no ids and an empty type,
// which the tests below report.
const std::vector<IdRun>& Inventory()
{
    static const std::vector<IdRun> runs = []
    {
        std::string path = std::string("Z:") + LUMORA_RES_DIR + "/images/inventory.tsv";
        std::replace(path.begin(), path.end(), '/', '\\');
        std::vector<IdRun> read;
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);)
        {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            IdRun run = {0, -1, "", 0, 0, Stored::PngRgba, kPlain};
            std::string stored, extras;
            fields >> run.first >> run.last >> run.type >> run.width >> run.height >> stored >> extras;
            const std::map<std::string, Stored> kinds = {{"png-rgba", Stored::PngRgba},
                                                         {"png-rgb", Stored::PngRgb},
                                                         {"png-palette", Stored::PngPalette},
                                                         {"jpeg", Stored::Jpeg}};
            if (!fields || !kinds.count(stored))
                run = {0, -1, "", 0, 0, Stored::PngRgba, kPlain};
            else
                run.stored = kinds.at(stored);
            run.extras = (extras.find("trns") != std::string::npos ? kTransparency : kPlain) |
                         (extras.find("iccp") != std::string::npos ? kProfile : kPlain);
            read.push_back(run);
        }
        return read;
    }();
    return runs;
}

// The ids of one type name, in ascending order.
std::vector<int> InventoryIds(const char* type)
{
    std::vector<int> ids;
    for (const IdRun& run : Inventory())
        for (int id = run.first; id <= run.last; ++id)
            if (run.type == type)
                ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

struct Bytes
{
    const unsigned char* data = nullptr;
    size_t size = 0;
};

// The bytes of a picture in module (null: this test program).
Bytes FindImage(int id, const char* type, HMODULE module = nullptr)
{
    Bytes bytes;
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!info)
        return bytes;
    bytes.size = SizeofResource(module, info);
    bytes.data = static_cast<const unsigned char*>(LockResource(LoadResource(module, info)));
    return bytes;
}

uint32_t BigEndian32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint32_t Crc32(const unsigned char* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i)
    {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// What the bytes say about the picture they hold; problem is empty when they hold a well-formed file.
struct Facts
{
    Stored stored = Stored::PngRgba;
    int width = 0, height = 0;
    unsigned extras = kPlain;
    std::string problem;
};

// Walks every chunk, checking its bounds and checksum: IHDR first, IEND last and exactly at the end.
Facts ReadPng(Bytes b)
{
    Facts facts;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    size_t at = sizeof kSignature;
    bool first = true;
    while (facts.problem.empty())
    {
        if (b.size - at < 12)
        {
            facts.problem = "chunk runs past the end";
            break;
        }
        const uint32_t length = BigEndian32(b.data + at);
        const std::string type(reinterpret_cast<const char*>(b.data + at + 4), 4);
        if (length > b.size - at - 12)
            facts.problem = type + " runs past the end";
        else if (Crc32(b.data + at + 4, length + 4) != BigEndian32(b.data + at + 8 + length))
            facts.problem = type + " has a wrong checksum";
        else if (first != (type == "IHDR"))
            facts.problem = "IHDR is not the first chunk";
        if (!facts.problem.empty())
            break;
        const unsigned char* body = b.data + at + 8;
        if (type == "IHDR")
        {
            facts.width = static_cast<int>(BigEndian32(body));
            facts.height = static_cast<int>(BigEndian32(body + 4));
            const int depth = body[8], colourType = body[9];
            if (length != 13 || depth != 8)
                facts.problem = "not an 8-bit header";
            else if (colourType == 6)
                facts.stored = Stored::PngRgba;
            else if (colourType == 2)
                facts.stored = Stored::PngRgb;
            else if (colourType == 3)
                facts.stored = Stored::PngPalette;
            else
                facts.problem = "colour type " + std::to_string(colourType);
        }
        else if (type == "tRNS")
            facts.extras |= kTransparency;
        else if (type == "iCCP")
            facts.extras |= kProfile;
        first = false;
        at += 12 + length;
        if (type == "IEND")
        {
            if (at != b.size)
                facts.problem = "bytes after IEND";
            break;
        }
    }
    return facts;
}

// Walks the marker segments up to the frame header, which gives the size; the file must end with EOI.
Facts ReadJpeg(Bytes b)
{
    Facts facts;
    facts.stored = Stored::Jpeg;
    if (b.size < 4 || b.data[b.size - 2] != 0xFF || b.data[b.size - 1] != 0xD9)
    {
        facts.problem = "no end-of-image marker";
        return facts;
    }
    size_t at = 2;
    while (at + 4 <= b.size)
    {
        if (b.data[at] != 0xFF)
            break;
        const unsigned char marker = b.data[at + 1];
        const size_t length = size_t(b.data[at + 2]) << 8 | b.data[at + 3];
        if (length < 2 || at + 2 + length > b.size)
            break;
        // Frame headers: C0-CF except DHT (C4), JPG (C8) and DAC (CC).
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
        {
            if (length < 8)
                break;
            facts.height = b.data[at + 5] << 8 | b.data[at + 6];
            facts.width = b.data[at + 7] << 8 | b.data[at + 8];
            if (b.data[at + 9] != 3)
                facts.problem = "not a three-component (colour) picture";
            return facts;
        }
        if (marker == 0xDA)
            break; // the scan began before any frame header
        at += 2 + length;
    }
    facts.problem = "no frame header";
    return facts;
}

Facts ReadImage(Bytes b)
{
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size > 8 && std::memcmp(b.data, kPng, 8) == 0)
        return ReadPng(b);
    if (b.size > 2 && b.data[0] == 0xFF && b.data[1] == 0xD8)
        return ReadJpeg(b);
    Facts facts;
    facts.problem = "neither PNG nor JPEG";
    return facts;
}

const char* StoredName(Stored stored)
{
    switch (stored)
    {
    case Stored::PngRgba:
        return "PNG RGBA";
    case Stored::PngRgb:
        return "PNG RGB";
    case Stored::PngPalette:
        return "PNG palette";
    case Stored::Jpeg:
        return "JPEG";
    }
    return "?";
}

// A picture decoded by GDI+ from a copy of the resource's bytes, with its colour profile applied, as the client
// decodes it; its pixels as 32-bit ARGB, row by row.
struct Decoded
{
    int width = 0, height = 0;
    std::vector<uint32_t> argb;

    uint32_t At(int x, int y) const { return argb[size_t(y) * width + x]; }
};

bool Decode(int id, const char* type, Decoded& out)
{
    const Bytes bytes = FindImage(id, type);
    if (!bytes.data)
        return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size);
    if (!block)
        return false;
    std::memcpy(GlobalLock(block), bytes.data, bytes.size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)))
    {
        GlobalFree(block);
        return false;
    }
    bool ok = false;
    {
        Gdiplus::Bitmap bitmap(stream, TRUE);
        Gdiplus::BitmapData data = {};
        Gdiplus::Rect all(0, 0, int(bitmap.GetWidth()), int(bitmap.GetHeight()));
        if (bitmap.GetLastStatus() == Gdiplus::Ok &&
            bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok)
        {
            out.width = all.Width;
            out.height = all.Height;
            out.argb.resize(size_t(all.Width) * all.Height);
            for (int y = 0; y < all.Height; ++y)
                std::memcpy(&out.argb[size_t(y) * all.Width], static_cast<const char*>(data.Scan0) + y * data.Stride,
                            size_t(all.Width) * 4);
            bitmap.UnlockBits(&data);
            ok = true;
        }
    }
    stream->Release();
    return ok;
}

class ImageResources : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token_, &input, nullptr));
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

    static ULONG_PTR token_;
};

ULONG_PTR ImageResources::token_ = 0;

} // namespace

TEST_F(ImageResources, EachHasItsSizeAndStoredFormat)
{
    for (const IdRun& run : Inventory())
        for (int id = run.first; id <= run.last; ++id)
        {
            SCOPED_TRACE(testing::Message() << id << " " << run.type);
            const Bytes bytes = FindImage(id, run.type.c_str());
            ASSERT_NE(nullptr, bytes.data);
            const Facts facts = ReadImage(bytes);
            EXPECT_EQ("", facts.problem);
            EXPECT_STREQ(StoredName(run.stored), StoredName(facts.stored));
            EXPECT_EQ(run.width, facts.width);
            EXPECT_EQ(run.height, facts.height);
            EXPECT_EQ(run.stored == Stored::Jpeg ? kPlain : run.extras, facts.extras) << "1 = tRNS, 2 = iCCP";
        }
}

TEST_F(ImageResources, TypesHoldExactlyTheInventory)
{
    for (const char* type : {"PNG", "JPG"})
    {
        SCOPED_TRACE(type);
        const std::vector<int> ids = ResourceIds(type);
        const std::vector<int> expected = InventoryIds(type);
        std::vector<int> missing, extra;
        std::set_difference(expected.begin(), expected.end(), ids.begin(), ids.end(), std::back_inserter(missing));
        std::set_difference(ids.begin(), ids.end(), expected.begin(), expected.end(), std::back_inserter(extra));
        EXPECT_EQ(std::vector<int>{}, missing);
        EXPECT_EQ(std::vector<int>{}, extra) << "-1 is a resource named by a string";
        EXPECT_EQ(expected.size(), ids.size()) << "an id listed twice";
    }
    EXPECT_EQ(80u, InventoryIds("PNG").size());
    EXPECT_EQ(std::vector<int>{205}, InventoryIds("JPG"));
}

TEST_F(ImageResources, EachIsUsEnglishOnly)
{
    for (const IdRun& run : Inventory())
        for (int id = run.first; id <= run.last; ++id)
        {
            SCOPED_TRACE(id);
            const std::vector<WORD> languages = ResourceLanguages(run.type.c_str(), id);
            EXPECT_EQ(std::vector<WORD>{kUsEnglish}, languages);
        }
}

TEST_F(ImageResources, OnlyTheExactTypeNameFindsAPicture)
{
    // JPEG data under "PNG" stays under "PNG"; the one "JPG" is not also a "PNG"; ids around the runs are free.
    struct Case
    {
        int id;
        const char* type;
    } const cases[] = {
        {205, "PNG"}, {129, "JPG"}, {178, "JPG"}, {133, "JPG"}, {209, "JPG"},
        {128, "PNG"}, {197, "PNG"}, {204, "PNG"}, {218, "PNG"}, {205, "JPEG"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.id << " " << c.type);
        EXPECT_EQ(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(c.id), c.type));
    }
}

TEST_F(ImageResources, LoginOutlineIsSolidUnderThePanelAndOpenAtTheCorners)
{
    Decoded outline;
    ASSERT_TRUE(Decode(129, "PNG", outline));
    ASSERT_EQ(1024, outline.width);
    ASSERT_EQ(700, outline.height);

    // The web window sits at (320, 188), 684 x 390, with the login page and every button on it; the skin shows
    // through it, so the outline must be solid there and for a margin around it.
    const int left = 320 - 8, top = 188 - 8, right = 320 + 684 + 8, bottom = 188 + 390 + 8;
    int holes = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            holes += (outline.At(x, y) >> 24) != 0xFF;
    EXPECT_EQ(0, holes) << "pixels under the panel that are not fully opaque";

    // The shape is cut out of its rectangle: the corners and the band above the panel at the right are clear.
    struct Point
    {
        int x, y;
    } const clear[] = {{0, 0}, {1023, 0}, {0, 699}, {1023, 699}, {700, 40}, {1020, 120}, {700, 690}};
    for (const Point& p : clear)
    {
        SCOPED_TRACE(testing::Message() << p.x << ", " << p.y);
        EXPECT_EQ(0u, outline.At(p.x, p.y) >> 24);
    }
    // The picture panel at the left, where the name is, is solid too.
    EXPECT_EQ(0xFFu, outline.At(160, 620) >> 24);
    EXPECT_EQ(0xFFu, outline.At(40, 400) >> 24);
}

TEST_F(ImageResources, LoginLayoutPicturesStayClearOfTheColourKey)
{
    // The web window of the login layout is a layered window keyed on pure blue: any of its buttons' pixels that
    // came out exactly RGB(0, 0, 255) would be punched through.
    const int ids[] = {130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 148,
                       149, 150, 175, 176, 177, 178, 179, 180, 181, 191, 192, 193, 194, 195, 196};
    for (int id : ids)
    {
        SCOPED_TRACE(id);
        Decoded picture;
        ASSERT_TRUE(Decode(id, "PNG", picture));
        EXPECT_GT(picture.width, 0);
        const auto keyed = std::count_if(picture.argb.begin(), picture.argb.end(),
                                         [](uint32_t p) { return (p >> 24) != 0 && (p & 0xFFFFFF) == 0x0000FF; });
        EXPECT_EQ(0, keyed);
    }
}

TEST_F(ImageResources, LoginPictureAndOutlineDecodeToTheSameSize)
{
    // The client merges them pixel by pixel: the colour picture's RGB under the outline's alpha.
    Decoded colour, outline;
    ASSERT_TRUE(Decode(205, "JPG", colour));
    ASSERT_TRUE(Decode(129, "PNG", outline));
    EXPECT_EQ(outline.width, colour.width);
    EXPECT_EQ(outline.height, colour.height);
    // Where the outline is solid the picture is not a flat fill: the panel is drawn, not blank.
    std::set<uint32_t> colours;
    for (int y = 188; y < 578; y += 7)
        for (int x = 0; x < 1024; x += 7)
            if ((outline.At(x, y) >> 24) == 0xFF)
                colours.insert(colour.At(x, y) & 0xFFFFFF);
    EXPECT_GT(colours.size(), 500u);
}

TEST_F(ImageResources, SpeakerOffIsCrossedOutAndSpeakerOnHasItsWaves)
{
    // Right of the speaker's body the sound-on pictures draw two arcs that reach five rows and more above and below
    // the middle; the sound-off pictures draw a cross there, which stays within four.
    for (int id = 185; id <= 190; ++id)
    {
        SCOPED_TRACE(id);
        Decoded picture;
        ASSERT_TRUE(Decode(id, "PNG", picture));
        ASSERT_EQ(25, picture.width);
        ASSERT_EQ(22, picture.height);
        auto brightness = [&](int x, int y)
        {
            const uint32_t p = picture.At(x, y);
            return int(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
        };
        int mark = 0; // the speaker's body, the brightest thing drawn
        for (int y = 9; y < 13; ++y)
            for (int x = 5; x < 12; ++x)
                mark = std::max(mark, brightness(x, y));
        int offCentre = 0;
        for (int y = 2; y < 20; ++y)
            for (int x = 14; x < 24; ++x)
                offCentre += (y <= 6 || y >= 17) && brightness(x, y) * 10 > mark * 6 ? 1 : 0;
        if (id <= 187)
            EXPECT_EQ(0, offCentre) << "the crossed-out speaker";
        else
            EXPECT_GE(offCentre, 3) << "the speaker with its waves";
    }
}

TEST_F(ImageResources, TheClientCarriesTheSameBytes)
{
    // The client as built, opened as data through Wine's drive for the Linux root.
    std::string path = std::string("Z:") + LUMORA_EXE;
    std::replace(path.begin(), path.end(), '/', '\\');
    HMODULE client = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, client) << path;
    for (const IdRun& run : Inventory())
        for (int id = run.first; id <= run.last; ++id)
        {
            SCOPED_TRACE(id);
            const Bytes mine = FindImage(id, run.type.c_str());
            const Bytes theirs = FindImage(id, run.type.c_str(), client);
            ASSERT_NE(nullptr, theirs.data);
            ASSERT_EQ(mine.size, theirs.size);
            EXPECT_EQ(0, std::memcmp(mine.data, theirs.data, mine.size));
        }
    FreeLibrary(client);
}
