#include "app/GameApp.h"

#include <commctrl.h>

#include "app/BrowserEmulation.h"
#include "app/DesktopShortcut.h"
#include "config/TextResource.h"
#include "config/core/BrowserSettings.h"
#include "config/core/ZoIni.h"
#include "framework/Stub.h"
#include "host/CustomOccManager.h"
#include "host/ImpIDispatch.h"
#include "mainwnd/GameDlg.h"
#include "res/resource.h"

CGameApp::CGameApp() = default;

CGameApp::~CGameApp() = default;

BOOL CGameApp::InitInstance()
{
    // A developer's switch, never a player's: the diagnostic log of what the client swallows (pages' script errors)
    // and of the interface methods it does not implement, each the first time it is asked for.
    wchar_t log[2] = {};
    if (::GetEnvironmentVariableW(L"LUMORA_DIAGNOSTIC_LOG", log, 2) == 1 && log[0] == L'1')
    {
        ZoGameBase::EnableDiagnosticLog(true);
        AfxSetDiagnosticWriter([](const char* line) { ZoGameBase::WriteDiagnosticLog("%s", line); });
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    // OLE and GDI+ for the whole run. Without OLE the browser control cannot be hosted: the client runs all the same,
    // with an empty browser area, and says so on the debugger's channel (GDI+ says so of itself).
    m_ole.emplace();
    if (!m_ole->Ok())
        AfxTrace("OLE did not start; the browser control cannot be hosted");
    m_gdiplus.emplace();

    CWinApp::InitInstance();

    // Every ActiveX control a dialog creates from now on gets the client's own site, which hands page script the
    // external object.
    m_pDispOM = std::make_unique<CImpIDispatch>();
    m_pOccManager = std::make_unique<CCustomOccManager>(m_pDispOM.get());
    AfxEnableControlContainer(m_pOccManager.get());

    // Before the first browser control is made: the document mode it renders pages in, under this executable's name.
    const CModulePath& path = AfxGetModulePath();
    std::string browser;
    LoadTextResource(nullptr, IDR_BROWSER_DOC, browser);
    SetBrowserEmulation(path, static_cast<unsigned long>(ReadDocumentMode(browser)));

    // The profile is keyed by the executable's full path, so every copy and every name has its own flag.
    SetRegistryKey(path.fullPath);
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
    m_gdiplus.reset();
    m_pDispOM.reset(); // whatever its count: the browser that held it is gone
    m_ole.reset();
    return CWinApp::ExitInstance();
}
