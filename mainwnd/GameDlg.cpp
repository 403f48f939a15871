#include "mainwnd/GameDlg.h"

#include "res/resource.h"

CGameDlg* g_pGameDlg = nullptr;

CGameDlg::CGameDlg() : CDialog(IDD)
{
    g_pGameDlg = this;
}

CGameDlg::~CGameDlg()
{
    g_pGameDlg = nullptr;
}

BEGIN_MESSAGE_MAP(CGameDlg, CDialog)
END_MESSAGE_MAP()

BOOL CGameDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    wchar_t title[128] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), IDS_APP_TITLE, title, 128);
    ::SetWindowTextW(m_hWnd, title);
    return TRUE;
}
