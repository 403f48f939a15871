#pragma once

// What the Wine tests ask of windows, in one place: their rectangles, how a failed comparison shows them, and the
// windows of a process.

#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

inline std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

inline std::string Text(const RECT& r)
{
    std::ostringstream text;
    text << r;
    return text.str();
}

// Whether two rectangles are equal; a failure shows both.
inline ::testing::AssertionResult Same(const RECT& expected, const RECT& actual)
{
    if (::EqualRect(&expected, &actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

// A window's rectangle in screen coordinates.
inline RECT WindowRect(HWND hwnd)
{
    RECT r = {};
    ::GetWindowRect(hwnd, &r);
    return r;
}

// A child window's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child)
{
    RECT r = WindowRect(child);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline std::wstring TitleOf(HWND hwnd)
{
    wchar_t title[256] = {};
    ::GetWindowTextW(hwnd, title, 256);
    return title;
}

inline std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

// The top-level windows of process pid for which match(hwnd) holds, in the order the system lists them.
template <class Match> std::vector<HWND> WindowsOf(DWORD pid, Match match)
{
    struct Search
    {
        DWORD pid;
        Match* match;
        std::vector<HWND> found;
    } search = {pid, &match, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL CALLBACK
        {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->pid && (*s->match)(hwnd))
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first visible one of them, or null.
template <class Match> HWND FindVisibleWindow(DWORD pid, Match match)
{
    const std::vector<HWND> found = WindowsOf(pid, [&](HWND hwnd) { return ::IsWindowVisible(hwnd) && match(hwnd); });
    return found.empty() ? nullptr : found.front();
}
