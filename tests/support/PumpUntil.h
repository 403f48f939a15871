#pragma once

#include <windows.h>

// The tests' one message pump: handles what this thread's queue holds now.
inline void PumpOnce()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Handles this thread's messages until done() holds or about the time given has passed; the result of done().
// done() is asked once per round.
template <class Done> bool PumpUntil(Done done, int milliseconds = 10000)
{
    for (int waited = 0;; waited += 10)
    {
        if (done())
            return true;
        if (waited >= milliseconds)
            return false;
        PumpOnce();
        ::Sleep(10);
    }
}

// Handles this thread's messages for about the time given, at least once.
inline void Pump(int milliseconds = 100)
{
    for (int waited = 0;; waited += 10)
    {
        PumpOnce();
        if (waited >= milliseconds)
            return;
        ::Sleep(10);
    }
}
