// The control-container manager, OLE start-up, and the entry points the rest of the framework calls.
#include "framework/Occ.h"

#include <cstdlib>
#include <new>

namespace
{

COccManager* g_occManager = nullptr;
DWORD g_oleThread = 0; // the thread whose OleInitialize is balanced at exit; 0 when none is

void OleTerm()
{
    if (g_oleThread && g_oleThread == ::GetCurrentThreadId())
        ::OleUninitialize();
    g_oleThread = 0;
}

// The container needs OLE (not just COM) on the user-interface thread: in-place activation, drag and drop and the
// clipboard of the controls go through it. Once per process.
void OleInitOnce()
{
    static bool attempted = false;
    if (attempted)
        return;
    attempted = true;
    if (SUCCEEDED(::OleInitialize(nullptr)))
    {
        g_oleThread = ::GetCurrentThreadId();
        std::atexit(OleTerm);
    }
}

} // namespace

COleControlSite* COccManager::CreateSite(COleControlContainer* container)
{
    return new (std::nothrow) COleControlSite(container);
}

BOOL COccManager::CreateDlgControls(CWnd* dialog, const std::vector<AfxOleControlItem>& items)
{
    if (!dialog || !dialog->m_hWnd)
        return FALSE;
    OleInitOnce();
    BOOL all = TRUE;
    for (const AfxOleControlItem& item : items)
    {
        RECT rect = item.dluRect;
        if (!::MapDialogRect(dialog->m_hWnd, &rect))
        {
            all = FALSE;
            continue;
        }
        if (!dialog->m_pCtrlCont)
            dialog->m_pCtrlCont = new (std::nothrow) COleControlContainer(dialog);
        COleControlContainer* container = dialog->m_pCtrlCont;
        if (!container)
            return FALSE;

        COleControlSite* site = nullptr;
        AfxCallGuarded([&] { site = CreateSite(container); });
        if (!site)
        {
            all = FALSE;
            continue;
        }
        HRESULT hr = E_UNEXPECTED;
        AfxCallGuarded([&] { hr = site->CreateControl(item, rect); });
        if (FAILED(hr))
        {
            // Left out without a word; the dialog goes on without it.
            site->DestroyControl();
            site->Discard();
            all = FALSE;
            continue;
        }
        container->AddSite(site);
    }
    return all;
}

void AfxEnableControlContainer(COccManager* manager)
{
    static COccManager defaultManager;
    g_occManager = manager ? manager : &defaultManager;
    OleInitOnce();
}

COccManager* AfxGetOccManager()
{
    return g_occManager;
}

void AfxDestroyControls(CWnd* wnd)
{
    if (!wnd || !wnd->m_pCtrlCont)
        return;
    COleControlContainer* container = wnd->m_pCtrlCont;
    wnd->m_pCtrlCont = nullptr;
    container->Discard();
}

void AfxAttachControlSite(CWnd& control, COleControlSite* site)
{
    if (control.m_pCtrlSite && control.m_pCtrlSite != site)
        control.m_pCtrlSite->DetachWindow();
    if (site)
        site->AttachWindow(&control);
}

bool AfxPreTranslateControlMessage(MSG* msg)
{
    if (!msg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return false;
    // Up from the message's window, through child windows only, to a window that hosts controls.
    for (HWND child = msg->hwnd; child && (::GetWindowLongW(child, GWL_STYLE) & WS_CHILD); child = ::GetParent(child))
    {
        CWnd* host = CWnd::FromHandlePermanent(::GetParent(child));
        if (!host || !host->m_pCtrlCont)
            continue;
        if (COleControlSite* site = host->m_pCtrlCont->FindSiteByWindow(child))
            return site->TranslateAccelerator(msg);
    }
    return false;
}

void CWnd::InvokeHelperV(DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, CDispArg* args, UINT count)
{
    if (m_pCtrlSite)
        m_pCtrlSite->InvokeHelperV(dispid, flags, vtRet, pvRet, args, count);
}
