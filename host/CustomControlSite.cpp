#include "host/CustomControlSite.h"

void* CCustomControlSite::GetInterfaceHook(REFIID iid)
{
    if (iid == IID_IDocHostUIHandler)
        return static_cast<IDocHostUIHandler*>(&m_xDocHostUIHandler);
    return COleControlSite::GetInterfaceHook(iid);
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return S_OK; // "shown": so the page shows no menu at all
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                                           IOleInPlaceFrame*, IOleInPlaceUIWindow*)
{
    return S_OK; // no menus or toolbars of the browser's own
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::HideUI()
{
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::UpdateUI()
{
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::EnableModeless(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::OnDocWindowActivate(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::OnFrameWindowActivate(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD)
{
    return S_FALSE; // every key goes on to the browser's own handling
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR*, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget**)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetExternal(IDispatch** dispatch)
{
    METHOD_PROLOGUE(CCustomControlSite, DocHostUIHandler)
    // A caller that gives nowhere to put it gets nothing, and no reference is counted for it.
    if (!dispatch)
        return E_POINTER;
    if (pThis->m_pExternal)
        pThis->m_pExternal->AddRef();
    *dispatch = pThis->m_pExternal;
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject**)
{
    return E_NOTIMPL;
}
