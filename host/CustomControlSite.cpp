#include "host/CustomControlSite.h"

#include "config/core/ZoIni.h"
#include "framework/Stub.h"
#include "host/ScriptError.h"

namespace
{

// The command group of the browser's questions to its host ({F38BC242-B950-11D1-8918-00C04FC2C836}), which the
// platform declares in mshtmhst.h without defining it in a library.
const GUID kDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

} // namespace

void* CCustomControlSite::GetInterfaceHook(REFIID iid)
{
    if (iid == IID_IDocHostUIHandler)
        return static_cast<IDocHostUIHandler*>(&m_xDocHostUIHandler);
    if (iid == IID_IOleCommandTarget)
        return static_cast<IOleCommandTarget*>(&m_xOleCommandTarget);
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
    AFX_STUB("IDocHostUIHandler::HideUI");
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::UpdateUI()
{
    AFX_STUB("IDocHostUIHandler::UpdateUI");
    return S_OK;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::EnableModeless(BOOL)
{
    AFX_STUB("IDocHostUIHandler::EnableModeless");
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::OnDocWindowActivate(BOOL)
{
    AFX_STUB("IDocHostUIHandler::OnDocWindowActivate");
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::OnFrameWindowActivate(BOOL)
{
    AFX_STUB("IDocHostUIHandler::OnFrameWindowActivate");
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    AFX_STUB("IDocHostUIHandler::ResizeBorder");
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD)
{
    return S_FALSE; // every key goes on to the browser's own handling
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR*, DWORD)
{
    AFX_STUB("IDocHostUIHandler::GetOptionKeyPath");
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget**)
{
    AFX_STUB("IDocHostUIHandler::GetDropTarget");
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
    AFX_STUB("IDocHostUIHandler::TranslateUrl");
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject**)
{
    AFX_STUB("IDocHostUIHandler::FilterDataObject");
    return E_NOTIMPL;
}

STDMETHODIMP CCustomControlSite::XOleCommandTarget::QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                                                                OLECMDTEXT*)
{
    if (group && *group != kDocHostCommandHandler)
        return OLECMDERR_E_UNKNOWNGROUP;
    if (!commands)
        return E_POINTER;
    bool known = false;
    for (ULONG i = 0; i < count; ++i)
    {
        const bool scriptError = group && commands[i].cmdID == OLECMDID_SHOWSCRIPTERROR;
        commands[i].cmdf = scriptError ? OLECMDF_SUPPORTED | OLECMDF_ENABLED : 0;
        known = known || scriptError;
    }
    return known ? S_OK : OLECMDERR_E_NOTSUPPORTED;
}

STDMETHODIMP CCustomControlSite::XOleCommandTarget::Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out)
{
    if (!group || *group != kDocHostCommandHandler)
        return group ? OLECMDERR_E_UNKNOWNGROUP : OLECMDERR_E_NOTSUPPORTED;
    if (id != OLECMDID_SHOWSCRIPTERROR)
        return OLECMDERR_E_NOTSUPPORTED;
    if (ZoGameBase::IsDiagnosticLogEnabled())
    {
        const CScriptError error =
            ReadScriptError(in && (in->vt == VT_UNKNOWN || in->vt == VT_DISPATCH) ? in->punkVal : nullptr);
        ZoGameBase::WriteDiagnosticLog("script error on the page %s, line %ld, character %ld: %s; the page goes on",
                                       error.url.c_str(), error.line, error.character, error.message.c_str());
    }
    // No dialog: the page's scripts go on running.
    if (out)
    {
        ::VariantClear(out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}
