#include "app/GameApp.h"

#include <commctrl.h>
#include <gdiplus.h>

#include "app/DesktopShortcut.h"
#include "framework/Occ.h"
#include "host/CustomOccManager.h"
#include "host/ImpIDispatch.h"
#include "mainwnd/GameDlg.h"

CGameApp::CGameApp() = default;

CGameApp::~CGameApp() = default;

BOOL CGameApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);

    CWinApp::InitInstance();

    // Every ActiveX control a dialog creates from now on gets the client's own site. The manager lives until
    // the process ends.
    COccManager* occManager = new CCustomOccManager;
    m_pDispOM = new CImpIDispatch;
    AfxEnableControlContainer(occManager);

    // The profile is keyed by the executable's full path, so every copy and every name has its own flag.
    const ExecutablePath path = GetExecutablePath();
    SetRegistryKey(path.fullPath.c_str());
    if (GetProfileInt("root", "shortCut", 0) == 0)
    {
        CreateDesktopShortcut(path);
        WriteProfileInt("root", "shortCut", 1);
    }

    {
        CGameDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

int CGameApp::ExitInstance()
{
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    delete m_pDispOM; // whatever its count: the browser that held it is gone
    m_pDispOM = nullptr;
    return CWinApp::ExitInstance();
}
