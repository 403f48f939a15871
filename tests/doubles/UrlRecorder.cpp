// Stands in for the user's web browser in the tests: the test prefix opens http addresses with this program, which
// appends the address it was given to lumora-opened-urls.txt in the prefix's temporary folder, and the show command
// the shell started it with to lumora-opened-show-commands.txt (-1 when none was given), and ends. Each test session
// has a prefix, and so files, of its own.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace
{

void Append(const std::wstring& path, const std::string& line)
{
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    const std::wstring address = args && count > 1 ? args[1] : L"";
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    // The show command first: whoever waits for the address then finds its show command written too.
    Append(folder + L"lumora-opened-show-commands.txt", std::to_string(show) + "\n");
    Append(folder + L"lumora-opened-urls.txt",
           std::string(address.begin(), address.end()) + "\n"); // the addresses are ASCII
    ::LocalFree(args);
    return 0;
}
