#pragma once

#include "framework/WinApp.h"

class CImpIDispatch;

// The application: process-wide services, the first-run desktop shortcut, and the modal run of the main
// window, whose end ends the process.
class CGameApp : public CWinApp
{
public:
    CGameApp();
    ~CGameApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    ULONG_PTR m_gdiplusToken = 0;
    CImpIDispatch* m_pDispOM = nullptr; // window.external of the pages; owned
};

extern CGameApp theApp;
