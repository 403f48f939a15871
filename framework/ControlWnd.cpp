#include "framework/ControlWnd.h"

#include "framework/ComPtr.h"
#include "framework/OccSite.h"

COleControlWnd::~COleControlWnd()
{
    // The site must not keep a pointer to an object that is gone.
    if (m_pCtrlSite)
        m_pCtrlSite->DetachWindow();
}

bool COleControlWnd::IsControlObject(IUnknown* object) const
{
    if (!object || !m_pCtrlSite || !m_pCtrlSite->m_pObject)
        return false;
    CComPtr<IUnknown> asked, control;
    object->QueryInterface(IID_IUnknown, asked.ReceiveVoid());
    m_pCtrlSite->m_pObject.Get()->QueryInterface(IID_IUnknown, control.ReceiveVoid());
    return asked && asked.Get() == control.Get();
}

void COleControlWnd::InvokeHelperV(DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, CDispArg* args, UINT count)
{
    if (m_pCtrlSite)
        m_pCtrlSite->InvokeHelperV(dispid, flags, vtRet, pvRet, args, count);
}

void COleControlWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    MoveWindow(RECT{x, y, x + width, y + height}, repaint);
}

void COleControlWnd::MoveWindow(const RECT& rect, BOOL repaint)
{
    if (m_pCtrlSite)
        m_pCtrlSite->MoveWindow(rect, repaint);
    else
        CWnd::MoveWindow(rect, repaint);
}

void COleControlWnd::AttachSite(COleControlSite* site, HWND hwnd)
{
    m_pCtrlSite = site;
    m_hWnd = hwnd;
}

void COleControlWnd::DetachSite()
{
    m_pCtrlSite = nullptr;
    m_hWnd = nullptr;
}
