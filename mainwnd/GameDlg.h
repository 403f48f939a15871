#pragma once

#include "framework/Dialog.h"

class CGameDlg;
// The one main window, for the windows that need it.
extern CGameDlg* g_pGameDlg;

// The client's main window: the modal dialog whose end ends the process.
class CGameDlg : public CDialog
{
public:
    enum
    {
        IDD = 102
    };

    CGameDlg();
    ~CGameDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override {} // Enter never ends the main window

    DECLARE_MESSAGE_MAP()
};
