#include "mainwnd/GameDlg.h"

#include "config/TextResource.h"
#include "res/resource.h"

CGameDlg* g_pGameDlg = nullptr;

namespace
{

// A document of the executable; empty when it is missing (its tables then stay empty).
std::string Document(int id)
{
    std::string text;
    LoadTextResource(nullptr, id, text);
    return text;
}

} // namespace

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
    LoadLayouts();
    wchar_t title[128] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), IDS_APP_TITLE, title, 128);
    ::SetWindowTextW(m_hWnd, title);
    LoadSiteUrls();
    return TRUE;
}

void CGameDlg::LoadLayouts()
{
    m_tables.LoadLayouts(Document(IDR_LAYOUT_DOC), Document(IDR_RESOLUTION_DOC));
}

void CGameDlg::LoadSiteUrls()
{
    m_tables.LoadSiteUrls(Document(IDR_SITEURL_DOC));
}
