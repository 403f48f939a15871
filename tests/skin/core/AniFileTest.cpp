#include "skin/core/AniFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/core/ShippedDocuments.h"

TEST(AniFile, ShippedDocument)
{
    CAniFile ani;
    ASSERT_TRUE(ani.LoadFromText(ReadShippedDocument("animation.ini").c_str()));
    const FrameList* bg = ani.GetFrames("Bg");
    ASSERT_NE(nullptr, bg);
    EXPECT_EQ(FrameList{"129"}, *bg);
    const FrameList nineGrid = {"151", "152", "153", "154", "155", "156", "157", "158", "159"};
    for (const char* name : {"Toolbar", "WebFrame"})
    {
        SCOPED_TRACE(name);
        const FrameList* frames = ani.GetFrames(name);
        ASSERT_NE(nullptr, frames);
        EXPECT_EQ(nineGrid, *frames);
    }
    for (const char* missing : {"bg", "Bg ", "", "Frame"})
    {
        SCOPED_TRACE(missing);
        EXPECT_EQ(nullptr, ani.GetFrames(missing));
    }
    EXPECT_EQ(nullptr, ani.GetFrames(nullptr));
}

TEST(AniFile, ListsFollowFrameAmount)
{
    CAniFile ani;
    ASSERT_TRUE(ani.LoadFromText("[Shuffled]\r\nFrame2=c\r\nFrameAmount=3\r\nFrame0=a\r\nFrame1=b\r\n"
                                 "[Gap]\r\nFrameAmount=3\r\nFrame0=a\r\nFrame2=c\r\n"
                                 "[Zero]\r\nFrameAmount=0\r\nFrame0=a\r\n"
                                 "[Negative]\r\nFrameAmount=-2\r\nFrame0=a\r\n"
                                 "[Missing]\r\nFrame0=a\r\n"
                                 "[NotANumber]\r\nFrameAmount=x1\r\nFrame0=a\r\n"
                                 "[Short]\r\nFrameAmount=1\r\nFrame0=a\r\nFrame1=b\r\n"
                                 "[Twice]\r\nFrameAmount=1\r\nFrame0=first\r\n"
                                 "[Twice]\r\nFrameAmount=1\r\nFrame0=second\r\n"
                                 "[]\r\nFrameAmount=1\r\nFrame0=unnamed\r\n"));
    struct Case
    {
        const char* name;
        FrameList frames;
    } const cases[] = {
        {"Shuffled", {"a", "b", "c"}},
        {"Gap", {"a", "", "c"}},
        {"Zero", {}},
        {"Negative", {}},
        {"Missing", {}},
        {"NotANumber", {}},
        {"Short", {"a"}},
        {"Twice", {"second"}},
        {"", {"unnamed"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const FrameList* frames = ani.GetFrames(c.name);
        ASSERT_NE(nullptr, frames);
        EXPECT_EQ(c.frames, *frames);
    }
}

TEST(AniFile, NullTextKeepsMapAndReloadStartsAfresh)
{
    CAniFile ani;
    ASSERT_TRUE(ani.LoadFromText("[Bg]\r\nFrameAmount=1\r\nFrame0=129\r\n"));
    EXPECT_FALSE(ani.LoadFromText(nullptr));
    EXPECT_NE(nullptr, ani.GetFrames("Bg"));
    EXPECT_TRUE(ani.LoadFromText(""));
    EXPECT_EQ(nullptr, ani.GetFrames("Bg"));
    EXPECT_TRUE(ani.LoadFromText("no section at all"));
    EXPECT_EQ(nullptr, ani.GetFrames("Bg"));
}

// Every count up to the bound gets a list exactly that long; a count above it gets an empty list and a line in
// the diagnostic log, and the sections after it are read as usual.
TEST(AniFile, FrameAmountIsHonouredUpToTheBound)
{
    namespace fs = std::filesystem;
    const fs::path previous = fs::current_path();
    const fs::path folder = fs::temp_directory_path() / ("lumora-anifile-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::current_path(folder);

    struct Case
    {
        const char* amount;
        size_t length;
        bool logged;
    } const cases[] = {
        {"4098", 4098, false},
        {"1000000", 1000000, false},
        {"1000001", 0, true},
        {"2147483647", 0, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.amount);
        fs::remove_all(folder / "debug");
        CAniFile ani;
        ani.EnableLog(true);
        const std::string text = std::string("[Huge]\r\nFrameAmount=") + c.amount +
                                 "\r\nFrame0=a\r\nFrame4096=z\r\n[After]\r\nFrameAmount=1\r\nFrame0=b\r\n";
        ASSERT_TRUE(ani.LoadFromText(text.c_str()));
        const FrameList* frames = ani.GetFrames("Huge");
        ASSERT_NE(nullptr, frames);
        ASSERT_EQ(c.length, frames->size());
        if (c.length)
        {
            EXPECT_EQ("a", frames->front());
            EXPECT_EQ("z", (*frames)[4096]);
            EXPECT_EQ("", frames->back());
        }
        ASSERT_NE(nullptr, ani.GetFrames("After"));
        EXPECT_EQ(FrameList{"b"}, *ani.GetFrames("After"));

        std::string log;
        if (fs::exists(folder / "debug"))
            for (const auto& file : fs::directory_iterator(folder / "debug"))
            {
                std::ifstream in(file.path());
                log.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        if (c.logged)
            EXPECT_NE(std::string::npos, log.find(std::string("[Huge] FrameAmount=") + c.amount)) << log;
        else
            EXPECT_EQ("", log);
    }
    fs::current_path(previous);
    fs::remove_all(folder);
}

TEST(AniFile, OverlongHeaderEndsReadingButKeepsEarlierSections)
{
    CAniFile ani;
    const std::string text = "[Bg]\r\nFrameAmount=1\r\nFrame0=129\r\n[" + std::string(300, 'x') +
                             "]\r\nFrameAmount=1\r\nFrame0=1\r\n[After]\r\nFrameAmount=1\r\nFrame0=2\r\n";
    EXPECT_TRUE(ani.LoadFromText(text.c_str()));
    EXPECT_NE(nullptr, ani.GetFrames("Bg"));
    EXPECT_EQ(nullptr, ani.GetFrames("After"));
}
