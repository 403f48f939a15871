#pragma once

#include "framework/Dialog.h"
#include "mainwnd/core/GameTables.h"

class CGameDlg;
// The one main window, for the windows that need it.
extern CGameDlg* g_pGameDlg;

// The client's main window: the modal dialog whose end ends the process. It owns the lookup tables, which the
// other windows reach through g_pGameDlg.
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

    // The layout and resolution documents into the tables, then the site-address document.
    void LoadLayouts();
    void LoadSiteUrls();

    const LayoutRect* FindLayout(const char* name) const { return m_tables.FindLayout(name); }
    int LookupScreenSize(int size, bool width) const { return m_tables.LookupScreenSize(size, width); }
    const CAnsiString& GetSiteUrl(int kind) const { return m_tables.GetSiteUrl(kind); }
    const CGameTables& Tables() const { return m_tables; }

    DECLARE_MESSAGE_MAP()

private:
    CGameTables m_tables;
};
