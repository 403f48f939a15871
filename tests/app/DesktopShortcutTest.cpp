// The desktop shortcut written for any path the executable can have: one outside the thread's code page is written as
// it is, and paths the shell's fixed-size buffers cannot hold are never used cut short (no link is written; Wine
// cannot start a program from such a path, so this is tested here rather than through the client).
#include "app/DesktopShortcut.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <utility>

#include "framework/ComPtr.h"
#include "framework/Scoped.h"
#include "framework/Text.h"

namespace
{

std::wstring DesktopFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The target and working folder a link file names; empty when it cannot be read. The target is read from the link's
// item list, which is what the shell opens: Wine keeps the link's location text in the code page, so GetPath would
// show question marks for a path outside it even where the link is right.
std::pair<std::wstring, std::wstring> LinkTarget(const std::wstring& path)
{
    CScopedCom com;
    CComPtr<IShellLinkW> link;
    CComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.ReceiveVoid())) ||
        FAILED(file.QueryFrom(link.Get(), IID_IPersistFile)) || FAILED(file->Load(path.c_str(), STGM_READ)))
        return {};
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(link->GetIDList(&list)) && list)
    {
        ::SHGetPathFromIDListW(list, target);
        ::CoTaskMemFree(list);
    }
    link->GetWorkingDirectory(folder, MAX_PATH);
    return {target, folder};
}

CModulePath PathOf(const std::wstring& folder, const std::wstring& baseName)
{
    return AfxSplitModulePath(folder + L"\\" + baseName + L".exe");
}

} // namespace

TEST(DesktopShortcut, ModulePathOfThisProgram)
{
    wchar_t expected[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, expected, MAX_PATH);
    EXPECT_EQ(std::wstring(expected), AfxGetModulePath().fullPath);
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

TEST(DesktopShortcut, WritesTheLinkAsThePathIs)
{
    // An ordinary path, and one whose folder and name lie outside code page 1252 (the test command runs this under
    // 1252 and under 936): the link bears the name and points at the path, character for character.
    const std::wstring stamp = std::to_wstring(::GetTickCount());
    struct Case
    {
        std::wstring folder, baseName;
    } const cases[] = {
        {L"C:\\Games", L"LumoraShortcut" + stamp},
        {L"C:\\游戏 " + stamp, L"登录器" + stamp},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(AfxUtf8(c.baseName.c_str()));
        const CModulePath path = PathOf(c.folder, c.baseName);
        const std::wstring link = DesktopFolder() + L"\\" + c.baseName + L".lnk";
        EXPECT_TRUE(CreateDesktopShortcut(path));
        EXPECT_TRUE(Exists(link));
        const auto target = LinkTarget(link);
        EXPECT_EQ(path.fullPath, target.first);
        EXPECT_EQ(c.folder, target.second);
        ::DeleteFileW(link.c_str());
    }
}

TEST(DesktopShortcut, PathsTooLongAreSkipped)
{
    struct Case
    {
        const char* name;
        std::wstring folder;
        std::wstring baseName;
    } const cases[] = {
        // The executable's path has MAX_PATH characters or more.
        {"long executable path", L"C:\\" + std::wstring(250, L'f'), L"LumoraLong"},
        // The executable's path fits, the link's path on the desktop does not.
        {"long link path", L"C:\\Games", std::wstring(MAX_PATH - 20, L'n')},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::wstring link = DesktopFolder() + L"\\" + c.baseName + L".lnk";
        EXPECT_FALSE(CreateDesktopShortcut(PathOf(c.folder, c.baseName)));
        EXPECT_FALSE(Exists(link));
        // Nor a link under the name the cut-off path would have had.
        EXPECT_FALSE(Exists(DesktopFolder() + L"\\" + c.baseName.substr(0, 40)));
    }
}
