#include "config/core/ZoIni.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using ZoGameBase::CZoIni;
namespace fs = std::filesystem;

namespace
{

long long g_now = 0;
long long FixedClock()
{
    return g_now;
}

long long LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm = {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return static_cast<long long>(std::mktime(&tm));
}

std::string CtimeOf(long long t)
{
    const std::time_t time = static_cast<std::time_t>(t);
    return std::ctime(&time);
}

// Runs each test in an empty folder of its own, since the log writes below the current directory.
class DebugLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = fs::current_path();
        m_folder = fs::temp_directory_path() /
                   ("lumora-log-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        fs::current_path(m_folder);
        g_now = LocalTime(2026, 12, 10, 23, 59, 58);
        ZoGameBase::SetDebugLogClock(FixedClock);
    }
    void TearDown() override
    {
        ZoGameBase::SetDebugLogClock(nullptr);
        fs::current_path(m_previous);
        fs::remove_all(m_folder);
    }

    static std::string Read(const char* path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    fs::path m_previous;
    fs::path m_folder;
};

} // namespace

TEST_F(DebugLogTest, SwitchOffLeavesNoFolder)
{
    CZoIni ini;
    ASSERT_TRUE(ini.LoadBuffer("[s]\r\nk=\r\n", 9));
    EXPECT_FALSE(ini.LoadBuffer("[t]", 3));
    ASSERT_TRUE(ini.NextSection());
    std::string value;
    EXPECT_FALSE(ini.ReadString("k", value));
    EXPECT_FALSE(ini.ReadString("", value));
    EXPECT_FALSE(ini.ReadEntry(7, value, value));
    EXPECT_FALSE(fs::exists("debug"));
}

TEST_F(DebugLogTest, ParserMessagesOneFilePerDay)
{
    CZoIni ini;
    ini.EnableLog(true);
    const std::string longName(300, 'n');
    const std::string text = "[s]\r\nk=\r\n[" + longName + "]\r\n";
    ASSERT_TRUE(ini.LoadBuffer(text.data(), static_cast<int>(text.size())));
    EXPECT_FALSE(ini.LoadBuffer("[t]", 3));
    ASSERT_TRUE(ini.NextSection());
    std::string value;
    EXPECT_FALSE(ini.ReadString("", value));
    EXPECT_FALSE(ini.ReadString("k", value));
    EXPECT_FALSE(ini.ReadEntry(3, value, value));
    const long long evening = g_now;
    EXPECT_FALSE(ini.NextSection());

    g_now += 2; // past midnight
    ZoGameBase::WriteDebugLog(&ini, "next %s", "day");

    const std::string stamp = CtimeOf(evening);
    EXPECT_EQ(" file operation error, you must free buffer first -- " + stamp + "read  key wrong! -- " + stamp +
                  " key: k format wrong! -- " + stamp + "read  file Index 3 error! -- " + stamp +
                  " s title too long wrong! -- " + stamp,
              Read("debug/2026_12_10.log"));
    EXPECT_EQ("next day -- " + CtimeOf(g_now), Read("debug/2026_12_11.log"));
    ASSERT_EQ('\n', stamp.back());
}

TEST_F(DebugLogTest, AppendsAndCutsLongMessages)
{
    CZoIni ini;
    ini.EnableLog(true);
    g_now = LocalTime(2027, 1, 2, 8, 0, 0);
    ZoGameBase::WriteDebugLog(&ini, "first");
    ZoGameBase::WriteDebugLog(&ini, "%s", std::string(5000, 'x').c_str());
    ZoGameBase::WriteDebugLog(&ini, nullptr);
    ZoGameBase::WriteDebugLog(nullptr, "no parser");
    const std::string stamp = CtimeOf(g_now);
    EXPECT_EQ("first -- " + stamp + std::string(2047, 'x') + " -- " + stamp, Read("debug/2027_1_2.log"));
}

TEST_F(DebugLogTest, UnwritableFolderDropsTheMessage)
{
    std::ofstream("debug") << "a file where the folder should be";
    CZoIni ini;
    ini.EnableLog(true);
    ZoGameBase::WriteDebugLog(&ini, "dropped");
    // The file in the folder's place is left as it was, and nothing was written anywhere else.
    EXPECT_EQ("a file where the folder should be", Read("debug"));
    EXPECT_EQ(1, std::distance(fs::directory_iterator("."), fs::directory_iterator()));
}

TEST_F(DebugLogTest, TheClientsOwnSwitch)
{
    // Off: nothing, not even the folder. On: the same records as the parser's, in the same day's file.
    ZoGameBase::WriteDiagnosticLog("dropped %d", 1);
    EXPECT_FALSE(fs::exists("debug"));
    ZoGameBase::EnableDiagnosticLog(true);
    EXPECT_TRUE(ZoGameBase::IsDiagnosticLogEnabled());
    ZoGameBase::WriteDiagnosticLog("script error on %s, line %d", "http://a/", 3);
    ZoGameBase::EnableDiagnosticLog(false);
    ZoGameBase::WriteDiagnosticLog("dropped %d", 2);
    EXPECT_EQ("script error on http://a/, line 3 -- " + CtimeOf(g_now), Read("debug/2026_12_10.log"));
}
