#include "webwnd/SoundSwitch.h"

void ClickGameMovie(HWND browser, POINT point)
{
    HWND first = ::IsWindow(browser) ? ::GetWindow(browser, GW_CHILD) : nullptr;
    HWND second = first ? ::GetWindow(first, GW_CHILD) : nullptr;
    HWND flash = second ? ::FindWindowExA(second, nullptr, "MacromediaFlashPlayerActiveX", nullptr) : nullptr;
    if (!flash)
        return;
    // The key-state word is MK_RBUTTON (2), as the movie has always been sent it.
    const LPARAM where = MAKELPARAM(point.x, point.y);
    ::PostMessageW(flash, WM_LBUTTONDOWN, MK_RBUTTON, where);
    ::PostMessageW(flash, WM_LBUTTONUP, MK_RBUTTON, where);
}
