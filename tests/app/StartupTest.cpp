// Runs the real client under Wine from copies of its executable and looks at what a start leaves behind:
// the desktop shortcut, the profile flag under the executable's full path, and the process's end.
#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/ClientProcess.h"

namespace
{

std::wstring DesktopFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

// A fresh folder for this run under the temporary folder.
std::wstring ScratchFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    wchar_t longTemp[MAX_PATH] = {};
    ::GetLongPathNameW(temp, longTemp, MAX_PATH);
    const std::wstring folder = std::wstring(longTemp) + L"lumora-" + std::to_wstring(::GetTickCount()) + L"-" + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring CopyClient(const std::wstring& folder, const wchar_t* fileName)
{
    const std::wstring target = folder + L"\\" + fileName;
    EXPECT_TRUE(::CopyFileW(BuiltClient().c_str(), target.c_str(), FALSE)) << ::GetLastError();
    return target;
}

// The client's visible dialogs (its main window and its web window, and anything else a start would show).
std::vector<HWND> DialogsOf(DWORD pid)
{
    return WindowsOf(pid, [](HWND hwnd) { return ::IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32770"; });
}

enum class CloseBy
{
    Escape,
    CloseRequest,
};

// Starts the client, waits for its main window, checks that nothing else was shown, closes the window and
// waits for the process to end. Returns the exit code, or -1 when something did not happen in time.
int RunClientOnce(const std::wstring& exe, CloseBy closeBy = CloseBy::CloseRequest)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + exe + L"\"";
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &process))
    {
        ADD_FAILURE() << "CreateProcess failed: " << ::GetLastError();
        return -1;
    }
    // The main window is the one without an owner; the web window it owns comes with it.
    HWND main = nullptr;
    for (int i = 0; i < 300 && (!main || DialogsOf(process.dwProcessId).size() < 2); ++i)
    {
        ::Sleep(50);
        for (HWND dialog : DialogsOf(process.dwProcessId))
            main = ::GetWindow(dialog, GW_OWNER) ? main : dialog;
    }
    int exitCode = -1;
    if (!main)
    {
        ADD_FAILURE() << "the main window did not appear";
        ::TerminateProcess(process.hProcess, 1);
    }
    else
    {
        // Anything else the start-up would show is there once the client has handled what it posted itself.
        EXPECT_TRUE(HandledSoFar(main)) << "the client did not answer";
        const std::vector<HWND> shown = DialogsOf(process.dwProcessId);
        EXPECT_EQ(2u, shown.size()) << "a start must show nothing but the main window and the web window";
        for (HWND dialog : shown)
        {
            wchar_t text[16] = {};
            ::GetWindowTextW(dialog, text, 16);
            EXPECT_TRUE(dialog == main || (::GetWindow(dialog, GW_OWNER) == main && std::wstring(text) == L"Web"));
        }
        // The title in the user's language: the Chinese string table on a Chinese system, else the English one.
        const bool chinese = PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_CHINESE;
        wchar_t title[64] = {};
        ::GetWindowTextW(main, title, 64);
        EXPECT_STREQ(chinese ? L"Lumora桌面登录器" : L"Lumora", title);
        if (closeBy == CloseBy::Escape)
        {
            ::PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageW(main, WM_KEYUP, VK_ESCAPE, 0);
        }
        else
        {
            ::PostMessageW(main, WM_CLOSE, 0, 0);
        }
        if (::WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0)
        {
            DWORD code = 0;
            ::GetExitCodeProcess(process.hProcess, &code);
            exitCode = static_cast<int>(code);
        }
        else
        {
            ADD_FAILURE() << "the client did not end after its main window was closed";
            ::TerminateProcess(process.hProcess, 1);
        }
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return exitCode;
}

std::wstring BaseName(const std::wstring& exe)
{
    const std::wstring file = exe.substr(exe.find_last_of(L'\\') + 1);
    return file.substr(0, file.find_last_of(L'.'));
}

// The shortcut flag of an executable path: -1 when absent.
long ShortcutFlag(const std::wstring& exe)
{
    const std::wstring key = L"Software\\" + exe + L"\\" + BaseName(exe) + L"\\root";
    DWORD value = 0, type = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"shortCut", RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS)
        return -1;
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    return static_cast<long>(value);
}

struct LinkInfo
{
    bool exists = false;
    std::wstring target;
    std::wstring workingDirectory;
};

LinkInfo ReadLink(const std::wstring& path)
{
    LinkInfo info;
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return info;
    info.exists = true;
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return info;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
    {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ)))
        {
            // The target from the link's item list, which is what the shell opens (Wine's GetPath gives the link's
            // location text, kept in the code page, with question marks for a path outside it).
            wchar_t buffer[MAX_PATH] = {};
            LPITEMIDLIST list = nullptr;
            if (SUCCEEDED(link->GetIDList(&list)) && list)
            {
                ::SHGetPathFromIDListW(list, buffer);
                ::CoTaskMemFree(list);
            }
            info.target = buffer;
            buffer[0] = 0;
            link->GetWorkingDirectory(buffer, MAX_PATH);
            info.workingDirectory = buffer;
        }
        file->Release();
    }
    link->Release();
    return info;
}

class Startup : public ::testing::Test
{
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }

    static std::wstring LinkFor(const std::wstring& exe) { return DesktopFolder() + L"\\" + BaseName(exe) + L".lnk"; }
};

} // namespace

TEST_F(Startup, ShortcutOncePerExecutablePath)
{
    const std::wstring first = CopyClient(ScratchFolder(L"a"), L"lumora.exe");
    const std::wstring link = LinkFor(first);
    ::DeleteFileW(link.c_str());

    EXPECT_EQ(-1, ShortcutFlag(first));
    EXPECT_EQ(0, RunClientOnce(first, CloseBy::Escape));
    EXPECT_EQ(1, ShortcutFlag(first));
    LinkInfo info = ReadLink(link);
    ASSERT_TRUE(info.exists);
    EXPECT_EQ(first, info.target);
    EXPECT_EQ(first.substr(0, first.find_last_of(L'\\')), info.workingDirectory);

    // Second start of the same path: no shortcut work at all, even with the link gone.
    ::DeleteFileW(link.c_str());
    EXPECT_EQ(0, RunClientOnce(first));
    EXPECT_FALSE(ReadLink(link).exists);
    EXPECT_EQ(1, ShortcutFlag(first));

    // A copy in another folder is a first run again: the same link name, now pointing at the copy.
    const std::wstring copy = CopyClient(ScratchFolder(L"b"), L"lumora.exe");
    EXPECT_EQ(0, RunClientOnce(copy));
    info = ReadLink(link);
    ASSERT_TRUE(info.exists);
    EXPECT_EQ(copy, info.target);
    EXPECT_EQ(1, ShortcutFlag(copy));
    ::DeleteFileW(link.c_str());

    // So is the executable under another name: a link of that name.
    const std::wstring renamed = CopyClient(ScratchFolder(L"c"), L"LumoraRenamed.exe");
    EXPECT_EQ(0, RunClientOnce(renamed));
    info = ReadLink(LinkFor(renamed));
    ASSERT_TRUE(info.exists);
    EXPECT_EQ(renamed, info.target);
    EXPECT_EQ(1, ShortcutFlag(renamed));
    ::DeleteFileW(LinkFor(renamed).c_str());
}

TEST_F(Startup, ShortcutForAPathOutsideTheCodePage)
{
    // Chinese in the folder and in the name: under code page 1252 as under 936, the link bears the name and points
    // at the executable, and the flag is written under the path as it is, once.
    const std::wstring exe = CopyClient(ScratchFolder(L"游戏"), L"桌面登录器.exe");
    const std::wstring link = LinkFor(exe);
    ::DeleteFileW(link.c_str());

    EXPECT_EQ(0, RunClientOnce(exe));
    EXPECT_EQ(1, ShortcutFlag(exe));
    const LinkInfo info = ReadLink(link);
    ASSERT_TRUE(info.exists);
    EXPECT_EQ(exe, info.target);
    EXPECT_EQ(exe.substr(0, exe.find_last_of(L'\\')), info.workingDirectory);

    ::DeleteFileW(link.c_str());
    EXPECT_EQ(0, RunClientOnce(exe));
    EXPECT_FALSE(ReadLink(link).exists) << "a second start made the shortcut again";
}

TEST_F(Startup, FailedShortcutStillWritesTheFlagAndShowsNothing)
{
    const std::wstring exe = CopyClient(ScratchFolder(L"d"), L"LumoraBlocked.exe");
    // A folder where the link file should go makes saving the link fail.
    const std::wstring link = LinkFor(exe);
    ::DeleteFileW(link.c_str());
    ASSERT_TRUE(::CreateDirectoryW(link.c_str(), nullptr));

    EXPECT_EQ(0, RunClientOnce(exe));
    EXPECT_EQ(1, ShortcutFlag(exe));
    EXPECT_NE(0u, ::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    ::RemoveDirectoryW(link.c_str());
}

namespace
{

const wchar_t kEmulationKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

// The document mode asked for under an executable's file name: -1 when none is.
long DocumentMode(const wchar_t* fileName)
{
    DWORD value = 0, type = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, kEmulationKey, fileName, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS)
        return -1;
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    return static_cast<long>(value);
}

void ForgetDocumentMode(const wchar_t* fileName)
{
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kEmulationKey, fileName);
}

} // namespace

// The browser control renders pages as Internet Explorer 11 does for the executable as it is named on disk now, not
// as it was built: a player's copy renamed with a blank and Chinese characters gets the value under that name.
TEST_F(Startup, TheBrowsersDocumentModeUnderTheExecutablesOwnName)
{
    const wchar_t name[] = L"游戏 客户端.exe";
    ForgetDocumentMode(name);
    ForgetDocumentMode(L"lumora.exe");
    const std::wstring exe = CopyClient(ScratchFolder(L"模式"), name);
    EXPECT_EQ(0, RunClientOnce(exe));
    EXPECT_EQ(11000, DocumentMode(name));
    EXPECT_EQ(-1, DocumentMode(L"lumora.exe")) << "the name it was built as";
}
