#pragma once

// The real client started from its built executable, and its two windows found from outside, for the tests that
// drive it as a user (or the navigation watch) would.

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "config/TextResource.h"
#include "framework/Surface.h"
#include "framework/Text.h"
#include "mainwnd/core/GameTables.h"
#include "res/resource.h"
#include "tests/support/Screen.h"
#include "tests/support/UserInput.h"
#include "webwnd/WebMessages.h"
#include "tests/support/TestWindows.h"

// The client's tables, read from the same documents the client carries (the test program links them in too).
inline const CGameTables& Tables()
{
    static const CGameTables tables = []
    {
        CGameTables t;
        std::string layout, resolution, sites;
        LoadTextResource(nullptr, IDR_LAYOUT_DOC, layout);
        LoadTextResource(nullptr, IDR_RESOLUTION_DOC, resolution);
        LoadTextResource(nullptr, IDR_SITEURL_DOC, sites);
        t.LoadLayouts(layout, resolution);
        t.LoadSiteUrls(sites);
        return t;
    }();
    return tables;
}

inline std::wstring BuiltClient()
{
    std::wstring path = L"Z:" + AfxWide(LUMORA_EXE);
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}

// Waits until the thread of window (another process's, made by the framework) has handled everything posted to it
// before: a question posted after them ("Lumora.LiveCounts", with a window of this thread to answer to) is answered by
// a message posted back, which can only come after them. False when no answer came within the time given.
inline bool HandledSoFar(HWND window, int milliseconds = 30000)
{
    const UINT question = ::RegisterWindowMessageW(L"Lumora.LiveCounts");
    HWND answers = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    bool answered = false;
    if (answers && ::PostMessageW(window, question, 1, reinterpret_cast<LPARAM>(answers)))
    {
        for (int waited = 0; !answered && waited < milliseconds; waited += 10)
        {
            MSG msg;
            answered = ::PeekMessageW(&msg, answers, question, question, PM_REMOVE) != FALSE;
            if (!answered)
                ::Sleep(10);
        }
    }
    if (answers)
        ::DestroyWindow(answers);
    return answered;
}

// Asks done() every 50 ms until it holds or the time is up. Each answer is asked for once, so done() may act (post a
// click, say) when it finds what it looks for.
template <class Done> bool WaitFor(Done done, int milliseconds = 30000)
{
    for (int waited = 0;; waited += 50)
    {
        if (done())
            return true;
        if (waited >= milliseconds)
            return false;
        ::Sleep(50);
    }
}

// Waits until the screen inside r shows what shows() says it must (shows(const CScreenShot&) -> bool): a window of
// another process paints when its display tells it to, which no message of ours can wait for. True once it does.
template <class Shows> bool WaitForScreen(const RECT& r, Shows shows)
{
    return WaitFor([&] { return shows(CScreenShot(r)); });
}

// Waits until every visible button of window shows its picture on the screen (more than a few colours where a
// button that had not painted would show what lies behind it). True once they all do.
inline bool WaitForButtonsPainted(HWND window)
{
    return WaitFor(
        [&]
        {
            for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            {
                if (!::IsWindowVisible(child) || ClassOf(child) != L"Button")
                    continue;
                const RECT r = WindowRect(child);
                std::vector<DWORD> colours;
                CScreenShot(r).Count(r,
                                     [&](DWORD p)
                                     {
                                         if (colours.size() < 8 &&
                                             std::find(colours.begin(), colours.end(), p) == colours.end())
                                             colours.push_back(p);
                                         return false;
                                     });
                if (colours.size() < 8)
                    return false;
            }
            return true;
        });
}

// Whether a process of that executable name (its file name, in any letter case) runs now.
inline bool Running(const wchar_t* exeName)
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found; more = ::Process32NextW(snapshot, &entry))
        found = ::lstrcmpiW(entry.szExeFile, exeName) == 0;
    ::CloseHandle(snapshot);
    return found;
}

// A started client and its two windows, found by process and title. Ends the client when it goes.
class CClient
{
public:
    // Starts the client and waits until both windows show and have painted; with wait false, only starts it (then
    // WaitShown(), so that several clients start side by side).
    explicit CClient(const std::wstring& exe = BuiltClient(), bool wait = true) : m_exe(exe)
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &m_process))
            return;
        if (wait)
            WaitShown();
    }
    // Waits until both windows show and have painted.
    bool WaitShown()
    {
        if (!m_process.hProcess)
            return false;
        if (WaitFor([this] { return Find() && ::IsWindowVisible(m_web) && ::IsWindowVisible(m_main); }) &&
            WaitSettled())
            return true;
        TellWhatShows();
        return false;
    }
    // Waits until the client has handled everything posted to it so far, and has painted what it was to paint.
    bool WaitSettled()
    {
        if (!Find() || !HandledSoFar(m_main))
            return false;
        for (HWND window : {m_main, m_web})
            ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        return true;
    }
    ~CClient()
    {
        if (!m_process.hProcess)
            return;
        if (::IsWindow(m_main))
            ::PostMessageW(m_main, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_process.hProcess, 30000) != WAIT_OBJECT_0)
            ::TerminateProcess(m_process.hProcess, 1);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    CClient(const CClient&) = delete;
    CClient& operator=(const CClient&) = delete;

    bool Started() const { return m_main && m_web; }
    // Finds the two windows again (the web window is made anew on the way back to the login screen).
    bool Refresh() { return Find(); }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    HANDLE Process() const { return m_process.hProcess; }
    // The application's name, which its message boxes bear: the executable's base name.
    std::wstring Name() const
    {
        const std::wstring file = m_exe.substr(m_exe.find_last_of(L'\\') + 1);
        return file.substr(0, file.find_last_of(L'.'));
    }
    // Whether the process has ended by itself within the time given, and its exit code then.
    bool Ended(DWORD& exitCode, int milliseconds = 30000)
    {
        if (::WaitForSingleObject(m_process.hProcess, milliseconds) != WAIT_OBJECT_0)
            return false;
        ::GetExitCodeProcess(m_process.hProcess, &exitCode);
        return true;
    }
    HWND Main() const { return m_main; }
    HWND Web() const { return m_web; }

    // Posts to the web window, waits until done() holds, then until the client has settled.
    template <class Done> bool PostToWeb(UINT msg, Done done)
    {
        ::PostMessageW(m_web, msg, 0, 0);
        return WaitFor([&] { return Find() && done(); }) && WaitSettled();
    }

private:
    // For a start that did not show both windows in time: whether the process still runs, and its top-level windows.
    void TellWhatShows() const
    {
        DWORD code = 0;
        ::GetExitCodeProcess(m_process.hProcess, &code);
        std::fprintf(stderr, "the client did not show both windows in time; process %lu %s (%lu)\n",
                     static_cast<unsigned long>(m_process.dwProcessId), code == STILL_ACTIVE ? "runs" : "ended",
                     static_cast<unsigned long>(code));
        for (HWND hwnd : WindowsOf(m_process.dwProcessId, [](HWND) { return true; }))
            std::fprintf(stderr, "  window %s \"%s\" %s, owner %p\n", AfxUtf8(ClassOf(hwnd).c_str()).c_str(),
                         AfxUtf8(TitleOf(hwnd).c_str()).c_str(), ::IsWindowVisible(hwnd) ? "shown" : "hidden",
                         static_cast<void*>(::GetWindow(hwnd, GW_OWNER)));
    }

    // The client's two dialogs: the web window by its title, the main window as the one without an owner.
    bool Find()
    {
        m_main = m_web = nullptr;
        for (HWND hwnd : WindowsOf(m_process.dwProcessId, [](HWND h) { return ClassOf(h) == L"#32770"; }))
        {
            if (TitleOf(hwnd) == L"Web")
                m_web = hwnd;
            else if (!::GetWindow(hwnd, GW_OWNER))
                m_main = hwnd;
        }
        return m_main && m_web;
    }

    std::wstring m_exe;
    PROCESS_INFORMATION m_process = {};
    HWND m_main = nullptr;
    HWND m_web = nullptr;
};

inline std::wstring FolderOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

// A visible window of the client's process with exactly this caption, or null.
inline HWND FindShown(DWORD pid, const std::wstring& caption)
{
    return FindVisibleWindow(pid, [&](HWND hwnd) { return TitleOf(hwnd) == caption; });
}

// What a message box of the client shows of its kind: its buttons and whether it stays above every other window.
struct BoxStyle
{
    bool yes, no, ok, cancel; // the buttons it has
    bool topmost;
};

// Waits for the client's message box, reads its text (and, with style, its kind) and answers it with button.
inline std::wstring AnswerBox(CClient& client, int button, BoxStyle* style = nullptr)
{
    HWND box = nullptr;
    // A message box: captioned with the client's name, and holding its text in the item 0xFFFF (the main window
    // may bear the same name).
    WaitFor(
        [&]
        {
            box = FindShown(client.ProcessId(), client.Name());
            return box && ::GetDlgItem(box, 0xFFFF);
        });
    if (box && !::GetDlgItem(box, 0xFFFF))
        box = nullptr;
    if (!box)
        return L"(no message box)";
    wchar_t text[128] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 128);
    if (style)
        *style = BoxStyle{::GetDlgItem(box, IDYES) != nullptr, ::GetDlgItem(box, IDNO) != nullptr,
                          ::GetDlgItem(box, IDOK) != nullptr, ::GetDlgItem(box, IDCANCEL) != nullptr,
                          (::GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0};
    ::PostMessageW(box, WM_COMMAND, button, 0);
    WaitFor([&] { return !::IsWindow(box); });
    return text;
}

// Waits until the window has kept its place for half a second (the window manager has done with it), at most 5 s.
inline void Settle(HWND hwnd)
{
    RECT last = WindowRect(hwnd);
    for (int still = 0, waited = 0; still < 500 && waited < 5000; waited += 50)
    {
        ::Sleep(50);
        const RECT now = WindowRect(hwnd);
        still = Same(now, last) ? still + 50 : 0;
        last = now;
    }
}

// Presses the left button at from, moves to to in steps, and lets go there.
inline bool Drag(POINT from, POINT to)
{
    std::wstring steps = At(from) + L" sleep 0.2 mousedown 1 sleep 0.3";
    for (int i = 1; i <= 5; ++i)
        steps += At(POINT{from.x + (to.x - from.x) * i / 5, from.y + (to.y - from.y) * i / 5}) + L" sleep 0.1";
    return UserInput(steps + L" mouseup 1 sleep 0.3");
}

inline void Click(HWND web, int id)
{
    ::PostMessageW(web, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(web, id)));
}

// The prefix's http handler pointed at the recorder while the test runs, and put back after.
#ifdef LUMORA_URL_RECORDER
// The recorder's Windows path.
inline std::wstring RecorderPath()
{
    std::wstring recorder = L"Z:" + AfxWide(LUMORA_URL_RECORDER);
    for (wchar_t& c : recorder)
        c = c == L'/' ? L'\\' : c;
    return recorder;
}

class CRecordedShell
{
public:
    CRecordedShell()
    {
        const std::wstring recorder = RecorderPath();
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_log = std::wstring(temp) + L"lumora-opened-urls.txt";
        m_shows = std::wstring(temp) + L"lumora-opened-show-commands.txt";
        ::DeleteFileW(m_log.c_str());
        ::DeleteFileW(m_shows.c_str());
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\http\\shell\\open\\command", 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
        wchar_t previous[1024] = {};
        DWORD size = sizeof previous;
        m_hadPrevious = ::RegQueryValueExW(m_key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(previous),
                                           &size) == ERROR_SUCCESS;
        m_previous = previous;
        const std::wstring command = L"\"" + recorder + L"\" \"%1\"";
        ::RegSetValueExW(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    ~CRecordedShell()
    {
        if (m_hadPrevious)
            ::RegSetValueExW(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_previous.c_str()),
                             static_cast<DWORD>((m_previous.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(m_key);
    }
    // The addresses opened, in order.
    std::vector<std::string> Opened() const { return Lines(m_log); }
    // The show command each was opened with, as the started program was handed it (-1: none).
    std::vector<std::string> ShowCommands() const { return Lines(m_shows); }

private:
    static std::vector<std::string> Lines(const std::wstring& path)
    {
        std::vector<std::string> lines;
        std::ifstream in(AfxUtf8(path.c_str()));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    HKEY m_key = nullptr;
    bool m_hadPrevious = false;
    std::wstring m_previous;
    std::wstring m_log;
    std::wstring m_shows;
};
#endif

// The shared URL cache, as the tests fill it.
inline bool InCache(const char* url)
{
    DWORD size = 0;
    ::GetUrlCacheEntryInfoA(url, nullptr, &size);
    return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

inline bool PutInCache(const char* url, DWORD type)
{
    char file[MAX_PATH] = {};
    if (!::CreateUrlCacheEntryA(url, 0, "htm", file, 0))
        return false;
    HANDLE h = ::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(h, "x", 1, &written, nullptr);
    ::CloseHandle(h);
    FILETIME never = {};
    return ::CommitUrlCacheEntryA(url, file, never, never, type, nullptr, 0, "htm", nullptr) != FALSE;
}
