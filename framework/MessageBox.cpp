#include "framework/MessageBox.h"

#include "framework/Text.h"
#include "framework/WinApp.h"

int AfxMessageBox(const char* text, UINT type, UINT)
{
    CWinApp* app = AfxGetApp();
    // The owner: the active window of this thread, else the main window; the box is modal to it.
    HWND owner = ::GetActiveWindow();
    if (!owner && app && app->m_pMainWnd)
        owner = app->m_pMainWnd->m_hWnd;
    if (owner)
        owner = ::GetLastActivePopup(::GetAncestor(owner, GA_ROOTOWNER));
    const std::wstring caption = app ? AfxWide(app->m_strAppName.c_str()) : std::wstring();
    return ::MessageBoxW(owner, AfxWide(text).c_str(), caption.c_str(), type);
}
