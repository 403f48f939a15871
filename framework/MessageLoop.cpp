#include "framework/MessageLoop.h"

#include "framework/Wnd.h"

// From the message's window up to its top-level window, each window object may take a keyboard message.
bool AfxPreTranslateMessage(MSG* msg)
{
    if (!msg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return false;
    HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd))
    {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd))
        {
            if (wnd->PreTranslateMessage(msg))
                return true;
        }
        if (hwnd == root)
            break;
    }
    return false;
}

bool AfxPumpMessage(int& exitCode)
{
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1)
    {
        exitCode = got == 0 ? static_cast<int>(msg.wParam) : 0;
        return false;
    }
    if (!AfxPreTranslateMessage(&msg))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}
