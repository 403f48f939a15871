#pragma once

#include <memory>
#include <optional>

#include "framework/Scoped.h"
#include "framework/WinApp.h"

class CImpIDispatch;
class CCustomOccManager;

// The application: process-wide services, the first-run desktop shortcut, and the modal run of the main
// window, whose end ends the process.
class CGameApp : public CWinApp
{
public:
    CGameApp();
    ~CGameApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    std::optional<CScopedOle> m_ole;                  // from InitInstance to ExitInstance: the browser control's
    std::optional<CScopedGdiplus> m_gdiplus;          // from InitInstance to ExitInstance
    std::unique_ptr<CImpIDispatch> m_pDispOM;         // window.external of the pages; deleted at exit
    std::unique_ptr<CCustomOccManager> m_pOccManager; // the control sites' factory, installed for the whole run
};

extern CGameApp theApp;
