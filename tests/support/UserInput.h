#pragma once

// Input from a real pointer and keyboard, for the tests that look at what a user's hand does.

#include <windows.h>

#include <string>

// Input from a real pointer and keyboard: events the X server takes as a device's (XTest, through xdotool, a Linux
// program that Wine's "start /unix" runs), so that the window manager and Wine treat them as a user's. A press on a
// caption then starts a real drag, which a posted message or SendInput cannot. xdotoolArgs: its commands, in screen
// coordinates (Wine's screen is the X root window). Waits until it is done; false when it could not be run.
inline bool UserInput(const std::wstring& xdotoolArgs)
{
    std::wstring command = L"start.exe /wait /unix /usr/bin/xdotool " + xdotoolArgs;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                          &process))
        return false;
    const bool done = ::WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return done && code == 0;
}

inline std::wstring At(POINT p)
{
    return L" mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y);
}
