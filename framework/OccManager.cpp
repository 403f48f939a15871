// The control-container manager, and the entry points the rest of the framework calls.
#include "framework/OccManager.h"

#include <new>

#include "framework/Dialog.h"

namespace
{

COccManager* g_occManager = nullptr;

} // namespace

COleControlSite* COccManager::CreateSite(COleControlContainer* container)
{
    return new (std::nothrow) COleControlSite(container);
}

BOOL COccManager::CreateDlgControls(CDialog* dialog, const std::vector<AfxOleControlItem>& items)
{
    if (!dialog || !dialog->m_hWnd)
        return FALSE;
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
        AfxCallGuarded([&] { site = CreateSite(container); }, "making the site of control %llu", item.id);
        if (!site)
        {
            all = FALSE;
            continue;
        }
        HRESULT hr = E_UNEXPECTED;
        AfxCallGuarded([&] { hr = site->CreateControl(item, rect); }, "making control %llu", item.id);
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
}

COccManager* AfxGetOccManager()
{
    return g_occManager;
}

void AfxDestroyControls(CDialog* dialog)
{
    if (!dialog || !dialog->m_pCtrlCont)
        return;
    COleControlContainer* container = dialog->m_pCtrlCont;
    dialog->m_pCtrlCont = nullptr;
    container->Discard();
}

void AfxAttachControlSite(COleControlWnd& control, COleControlSite* site)
{
    if (site)
        site->AttachWindow(&control);
    else if (control.ControlSite())
        control.ControlSite()->DetachWindow();
}
