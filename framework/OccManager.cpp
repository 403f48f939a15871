// The control-container manager, OLE start-up, and the entry points the rest of the framework calls.
#include "framework/OccManager.h"

#include <new>

#include "framework/Scoped.h"

namespace
{

COccManager* g_occManager = nullptr;

// The container needs OLE (not just COM) on the user-interface thread: in-place activation, drag and drop and the
// clipboard of the controls go through it. Started once, by the first call on that thread, and ended when the
// process exits.
void OleInitOnce()
{
    static CScopedOle ole;
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

BOOL CWnd::PreTranslateMessage(MSG* msg)
{
    if (!m_pCtrlCont || !msg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    COleControlSite* site = m_pCtrlCont->FindSiteByWindow(msg->hwnd);
    return site && site->TranslateAccelerator(msg);
}

void CWnd::InvokeHelperV(DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, CDispArg* args, UINT count)
{
    if (m_pCtrlSite)
        m_pCtrlSite->InvokeHelperV(dispid, flags, vtRet, pvRet, args, count);
}
