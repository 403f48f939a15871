#pragma once

// The real client started from its built executable, and its two windows found from outside, for the tests that
// drive it as a user (or the navigation watch) would.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/Text.h"

inline const UINT kGamePageLoaded = WM_USER + 100;
inline const UINT kWebPageLoaded = WM_USER + 101;

inline std::wstring BuiltClient()
{
    std::wstring path = L"Z:" + AfxWide(LUMORA_EXE);
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}

inline bool Same(const RECT& a, const RECT& b)
{
    return ::EqualRect(&a, &b) != FALSE;
}

inline std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

inline RECT WindowRect(HWND hwnd)
{
    RECT r = {};
    ::GetWindowRect(hwnd, &r);
    return r;
}

template <class Done> bool WaitFor(Done done, int milliseconds = 10000)
{
    for (int waited = 0; waited < milliseconds && !done(); waited += 50)
        ::Sleep(50);
    return done();
}

// A started client and its two windows, found by process and title. Ends the client when it goes.
class CClient
{
public:
    CClient()
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        const std::wstring exe = BuiltClient();
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &m_process))
            return;
        WaitFor([this] { return Find() && ::IsWindowVisible(m_web) && ::IsWindowVisible(m_main); });
        ::Sleep(300); // the first paints
    }
    ~CClient()
    {
        if (!m_process.hProcess)
            return;
        if (::IsWindow(m_main))
            ::PostMessageW(m_main, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_process.hProcess, 10000) != WAIT_OBJECT_0)
            ::TerminateProcess(m_process.hProcess, 1);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    CClient(const CClient&) = delete;
    CClient& operator=(const CClient&) = delete;

    bool Started() const { return m_main && m_web; }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    // Whether the process has ended by itself within the time given, and its exit code then.
    bool Ended(DWORD& exitCode, int milliseconds = 10000)
    {
        if (::WaitForSingleObject(m_process.hProcess, milliseconds) != WAIT_OBJECT_0)
            return false;
        ::GetExitCodeProcess(m_process.hProcess, &exitCode);
        return true;
    }
    HWND Main() const { return m_main; }
    HWND Web() const { return m_web; }

    // Posts to the web window and waits until done() holds.
    template <class Done> bool PostToWeb(UINT msg, Done done)
    {
        ::PostMessageW(m_web, msg, 0, 0);
        const bool ok = WaitFor([&] { return Find() && done(); });
        ::Sleep(300);
        return ok;
    }

private:
    struct Search
    {
        DWORD pid;
        HWND main;
        HWND web;
    };
    static BOOL CALLBACK Visit(HWND hwnd, LPARAM param)
    {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        wchar_t className[32] = {}, title[64] = {};
        ::GetClassNameW(hwnd, className, 32);
        ::GetWindowTextW(hwnd, title, 64);
        if (pid != s->pid || std::wstring(className) != L"#32770")
            return TRUE;
        if (std::wstring(title) == L"Web")
            s->web = hwnd;
        else if (!::GetWindow(hwnd, GW_OWNER))
            s->main = hwnd;
        return TRUE;
    }
    bool Find()
    {
        Search s = {m_process.dwProcessId, nullptr, nullptr};
        ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
        m_main = s.main;
        m_web = s.web;
        return m_main && m_web;
    }

    PROCESS_INFORMATION m_process = {};
    HWND m_main = nullptr;
    HWND m_web = nullptr;
};
