// The control container of one window, and the in-place frame its controls share.
#include "framework/OccContainer.h"

#include "framework/Dialog.h"
#include "framework/OccSite.h"
#include "framework/Stub.h"

COleControlContainer::~COleControlContainer()
{
    DestroyControls();
}

COleControlSite* COleControlContainer::FindSite(UINT id) const
{
    for (COleControlSite* site : m_sites)
    {
        if (site->m_nID == id)
            return site;
    }
    return nullptr;
}

COleControlSite* COleControlContainer::FindSiteByWindow(HWND hwnd) const
{
    if (!hwnd)
        return nullptr;
    for (COleControlSite* site : m_sites)
    {
        if (site->m_hWnd && (site->m_hWnd == hwnd || ::IsChild(site->m_hWnd, hwnd)))
            return site;
    }
    return nullptr;
}

void COleControlContainer::DestroyControls()
{
    // Taken out first: a control's teardown may reach the window, and through it this list.
    std::vector<COleControlSite*> sites;
    sites.swap(m_sites);
    for (COleControlSite* site : sites)
    {
        site->DestroyControl();
        site->Discard();
    }
    m_pActiveObject.Reset();
}

void COleControlContainer::Discard()
{
    DestroyControls();
    m_pWnd = nullptr;
    m_bDiscarded = true;
    if (m_dwRef == 0)
        delete this;
}

HRESULT COleControlContainer::ExternalQueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceUIWindow && iid != IID_IOleInPlaceFrame)
        return E_NOINTERFACE;
    *ppv = static_cast<IOleInPlaceFrame*>(&m_xOleIPFrame);
    ExternalAddRef();
    return S_OK;
}

ULONG COleControlContainer::ExternalAddRef()
{
    return ++m_dwRef;
}

ULONG COleControlContainer::ExternalRelease()
{
    if (m_dwRef == 0)
        return 0; // an unbalanced Release
    const ULONG count = --m_dwRef;
    if (count == 0 && m_bDiscarded)
        delete this;
    return count;
}

// ---- IOleInPlaceFrame: the hosting window, with no menus, toolbars or status bar to share ----

STDMETHODIMP COleControlContainer::XOleIPFrame::GetWindow(HWND* hwnd)
{
    METHOD_PROLOGUE(COleControlContainer, OleIPFrame)
    if (!hwnd)
        return E_POINTER;
    *hwnd = pThis->m_pWnd ? pThis->m_pWnd->m_hWnd : nullptr;
    return *hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::ContextSensitiveHelp(BOOL)
{
    AFX_STUB("IOleInPlaceFrame::ContextSensitiveHelp");
    return E_NOTIMPL;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::GetBorder(LPRECT)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::RequestBorderSpace(LPCBORDERWIDTHS)
{
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::SetBorderSpace(LPCBORDERWIDTHS widths)
{
    // Only "no border space at all" can be granted.
    if (!widths || (widths->left == 0 && widths->top == 0 && widths->right == 0 && widths->bottom == 0))
        return S_OK;
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    METHOD_PROLOGUE(COleControlContainer, OleIPFrame)
    pThis->m_pActiveObject = CComPtr<IOleInPlaceActiveObject>::Share(object);
    return S_OK;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS)
{
    AFX_STUB("IOleInPlaceFrame::InsertMenus");
    return E_NOTIMPL;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::SetMenu(HMENU, HOLEMENU, HWND)
{
    AFX_STUB("IOleInPlaceFrame::SetMenu");
    return S_OK;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::RemoveMenus(HMENU)
{
    AFX_STUB("IOleInPlaceFrame::RemoveMenus");
    return S_OK;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::SetStatusText(LPCOLESTR)
{
    AFX_STUB("IOleInPlaceFrame::SetStatusText");
    return S_OK;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::EnableModeless(BOOL)
{
    AFX_STUB("IOleInPlaceFrame::EnableModeless");
    return S_OK;
}

STDMETHODIMP COleControlContainer::XOleIPFrame::TranslateAccelerator(LPMSG, WORD)
{
    return S_FALSE;
}
