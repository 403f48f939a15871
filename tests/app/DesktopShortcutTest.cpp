// Paths the shell's fixed-size buffers cannot hold are never used cut short: no link is written.
// (Wine cannot start a program from such a path, so this is tested here rather than through the client.)
#include "app/DesktopShortcut.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>

namespace
{

std::string DesktopFolder()
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(DesktopShortcut, ExecutablePathOfThisProgram)
{
    // The same text as the narrow call gives, in whatever code page the thread has.
    const ExecutablePath path = GetExecutablePath();
    char expected[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, expected, MAX_PATH);
    EXPECT_EQ(std::string(expected), path.fullPath.Bytes());
    EXPECT_EQ(path.folder.Bytes() + "\\" + path.baseName.Bytes() + ".exe", path.fullPath.Bytes());
}

TEST(DesktopShortcut, ModulePathSplitsFolderAndBaseName)
{
    struct Case
    {
        const wchar_t* path;
        const wchar_t* folder;
        const wchar_t* baseName;
    } const cases[] = {
        {L"C:\\Games\\lumora.exe", L"C:\\Games", L"lumora"},
        {L"C:\\Games\\Lumora Copy.v2.exe", L"C:\\Games", L"Lumora Copy.v2"},
        {L"C:\\游戏\\登录器.exe", L"C:\\游戏", L"登录器"},
        {L"C:\\a.dir\\noextension", L"C:\\a.dir", L"noextension"},
        {L"lumora.exe", L"", L"lumora"},
    };
    for (const Case& c : cases)
    {
        const CModulePath split = AfxSplitModulePath(c.path);
        EXPECT_EQ(c.folder, split.folder);
        EXPECT_EQ(c.baseName, split.baseName);
    }
}

TEST(DesktopShortcut, WritesTheLinkForAnOrdinaryPath)
{
    const std::string name = "LumoraShortcut" + std::to_string(::GetTickCount());
    const std::string link = DesktopFolder() + "\\" + name + ".lnk";
    ExecutablePath path;
    path.folder = CAnsiString("C:\\Games");
    path.baseName = CAnsiString(name);
    path.fullPath = CAnsiString(path.folder.Bytes() + "\\" + name + ".exe");
    EXPECT_TRUE(CreateDesktopShortcut(path));
    EXPECT_TRUE(Exists(link));
    ::DeleteFileA(link.c_str());
}

TEST(DesktopShortcut, PathsTooLongAreSkipped)
{
    struct Case
    {
        const char* name;
        std::string folder;
        std::string baseName;
    } const cases[] = {
        // The executable's path has MAX_PATH characters or more.
        {"long executable path", "C:\\" + std::string(250, 'f'), "LumoraLong"},
        // The executable's path fits, the link's path on the desktop does not.
        {"long link path", "C:\\Games", std::string(MAX_PATH - 20, 'n')},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ExecutablePath path;
        path.folder = CAnsiString(c.folder);
        path.baseName = CAnsiString(c.baseName);
        path.fullPath = CAnsiString(c.folder + "\\" + c.baseName + ".exe");
        const std::string link = DesktopFolder() + "\\" + c.baseName + ".lnk";
        EXPECT_FALSE(CreateDesktopShortcut(path));
        EXPECT_FALSE(Exists(link));
        // Nor a link under the name the cut-off path would have had.
        EXPECT_FALSE(Exists(DesktopFolder() + "\\" + c.baseName.substr(0, 40)));
    }
}
