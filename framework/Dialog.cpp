#include "framework/Dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

#include "framework/MessageBox.h"
#include "framework/MessageLoop.h"
#include "framework/OccContainer.h"
#include "framework/OccManager.h"
#include "framework/Scoped.h"
#include "framework/WinApp.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_bEditLastControl = false;
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int id)
{
    HWND hwnd = PrepareCtrl(id);
    m_bEditLastControl = true;
    return hwnd;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate)
        throw CUserException();
    if (m_hWndLastControl)
    {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw CUserException();
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd)
        return;
    HWND hwnd = pDX->PrepareCtrl(id);
    if (!hwnd || !control.SubclassWindow(hwnd))
        pDX->Fail();
}

void DDX_Control(CDataExchange* pDX, int id, COleControlWnd& control)
{
    if (control.m_hWnd)
        return;
    pDX->PrepareCtrl(id);
    COleControlContainer* container = pDX->m_pDlgWnd->m_pCtrlCont;
    COleControlSite* site = container ? container->FindSite(static_cast<UINT>(id)) : nullptr;
    if (!site)
        pDX->Fail();
    AfxAttachControlSite(control, site);
}

namespace
{

// A whole number with optional blanks around it and an optional sign, inside the 32-bit range.
bool ParseInt(const wchar_t* text, int& value)
{
    while (std::iswspace(*text))
        ++text;
    if (!*text)
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    const long long parsed = std::wcstoll(text, &end, 10);
    if (end == text || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    while (std::iswspace(*end))
        ++end;
    if (*end)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    HWND edit = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate)
    {
        ::SetWindowTextW(edit, std::to_wstring(value).c_str());
        return;
    }
    wchar_t text[64] = {};
    ::GetWindowTextW(edit, text, 64);
    int parsed = 0;
    if (::GetWindowTextLengthW(edit) >= 64 || !ParseInt(text, parsed))
    {
        AfxMessageBox("请输入一个整数。", MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    value = parsed;
}

CDialog::CDialog(UINT idTemplate, CWnd* parent) : m_nIDHelp(idTemplate), m_nIDTemplate(idTemplate), m_pParentWnd(parent)
{
}

CDialog::~CDialog()
{
    // The window is its owner's to destroy, while the whole object still stands: destroyed from here, it would send
    // its last messages to an object whose derived part is already gone. A dialog object that goes first says so,
    // and lets go of the controls it hosts while their window is still there; CWnd then lets go of the window.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
    {
        AfxTrace("Lumora: a dialog object was deleted before its window was destroyed; the window is left alone");
        AfxDestroyControls(this);
    }
}

HWND CDialog::CreateFromTemplate(HWND owner)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    auto loaded = std::make_shared<AfxDialogTemplate>();
    if (!AfxLoadDialogTemplate(module, m_nIDTemplate, *loaded))
        return nullptr;
    m_pTemplate = loaded;
    return ::CreateDialogIndirectParamW(module, reinterpret_cast<const DLGTEMPLATE*>(loaded->bytes.data()), owner,
                                        AfxDlgProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT idTemplate, CWnd* parent)
{
    if (m_hWnd)
        return FALSE;
    m_nIDTemplate = idTemplate;
    if (parent)
        m_pParentWnd = parent;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd)
        owner = AfxGetApp()->m_pMainWnd->m_hWnd;
    m_bModal = false;
    return CreateFromTemplate(owner) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd && AfxGetApp()->m_pMainWnd != this)
        owner = AfxGetApp()->m_pMainWnd->m_hWnd;
    if (owner)
        owner = ::GetLastActivePopup(::GetAncestor(owner, GA_ROOTOWNER));
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);

    m_bModal = true;
    m_bContinueModal = true;
    m_nModalResult = -1;
    if (CreateFromTemplate(owner))
    {
        if (m_bContinueModal && !::IsWindowVisible(m_hWnd))
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        RunModalLoop();
    }

    // The owner comes back before this window goes, so that activation returns to it.
    if (disableOwner)
    {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    // The window may be destroyed and made again by its own handlers while the run lasts; the run goes on with
    // the new one.
    int exitCode = 0;
    while (m_bContinueModal && m_hWnd)
    {
        if (!AfxPumpMessage(exitCode))
        {
            // Someone asked the thread to quit: end this loop and leave the request for the outer one.
            ::PostQuitMessage(exitCode);
            break;
        }
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    return PreTranslateControlMessage(msg) || (m_hWnd && ::IsDialogMessageW(m_hWnd, msg));
}

BOOL CDialog::PreTranslateControlMessage(MSG* msg)
{
    if (!m_pCtrlCont || !msg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    COleControlSite* site = m_pCtrlCont->FindSiteByWindow(msg->hwnd);
    return site && site->TranslateAccelerator(msg);
}

bool CDialog::OnEvent(UINT, DISPID, DISPPARAMS*)
{
    return false;
}

void CDialog::OnDestroyHandled()
{
    AfxDestroyControls(this);
}

void CDialog::PostNcDestroy()
{
    m_pTemplate.reset();
    CWnd::PostNcDestroy();
}

void CDialog::EndDialog(int result)
{
    if (m_bModal)
    {
        m_nModalResult = result;
        m_bContinueModal = false;
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0); // wake the loop
    }
    else if (m_hWnd)
    {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    try
    {
        DoDataExchange(&dx);
        return TRUE;
    }
    catch (const CUserException&)
    {
        return FALSE;
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) <= 1 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
    {
        if (LOWORD(wParam) == IDOK)
            OnOK();
        else
            OnCancel();
        result = 0;
        return true;
    }
    return CWnd::OnWndMsg(msg, wParam, lParam, result);
}

BOOL CDialog::HandleInitDialog()
{
    // The template of this window, kept by this call: a handler below may destroy the window and make another.
    const std::shared_ptr<const AfxDialogTemplate> dialogTemplate = m_pTemplate;
    if (dialogTemplate && !dialogTemplate->oleControls.empty() && AfxGetOccManager())
        AfxGetOccManager()->CreateDlgControls(this, dialogTemplate->oleControls);
    BOOL result = TRUE;
    AfxCallGuarded([&] { result = OnInitDialog(); }, "the initialisation of dialog %llu", m_nIDTemplate);
    return result;
}

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_INITDIALOG)
        return FALSE; // everything else went through the object's map already
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    if (!dialog || !dialog->SubclassWindow(hwnd))
        return TRUE;
    return dialog->HandleInitDialog();
}
