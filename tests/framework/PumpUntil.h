#pragma once

#include <windows.h>

// Handles this thread's messages until done() holds or about the time given has passed; the result of done().
// done() is asked once per round.
template <class Done> bool PumpUntil(Done done, int milliseconds = 2000)
{
    for (int waited = 0;; waited += 10)
    {
        if (done())
            return true;
        if (waited >= milliseconds)
            return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}
