#include "skin/core/AniFile.h"

#include <gtest/gtest.h>

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

TEST(AniFile, HugeFrameAmountIsBounded)
{
    CAniFile ani;
    ASSERT_TRUE(
        ani.LoadFromText("[Huge]\r\nFrameAmount=2147483647\r\nFrame0=a\r\n[After]\r\nFrameAmount=1\r\nFrame0=b\r\n"));
    const FrameList* frames = ani.GetFrames("Huge");
    ASSERT_NE(nullptr, frames);
    EXPECT_EQ(static_cast<size_t>(CAniFile::kMaxFrames), frames->size());
    EXPECT_EQ("a", frames->front());
    ASSERT_NE(nullptr, ani.GetFrames("After"));
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
