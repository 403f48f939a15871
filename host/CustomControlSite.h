#pragma once

#include <docobj.h>
#include <mshtmhst.h>

#include "framework/OccSite.h"

// The site of every ActiveX control the client's dialogs create (the browser of the web window): the framework's
// site, plus the UI handler that the browser asks its site for. Through it the page gets no 3-D border, no
// vertical scroll bar, no context menu and no menus or toolbars of the browser's own, keeps the browser's own
// keyboard handling, and reaches the application's external object as window.external. The site is also the
// command target the browser asks before it shows a page's script error: no dialog, the page's scripts go on.
class CCustomControlSite : public COleControlSite
{
public:
    // external: the object page script reaches (owned by the application, which outlives every site).
    CCustomControlSite(COleControlContainer* container, IDispatch* external)
        : COleControlSite(container), m_pExternal(external)
    {
    }
    ~CCustomControlSite() override = default;

protected:
    void* GetInterfaceHook(REFIID iid) override;

private:
    class XDocHostUIHandler : public CInterfacePart<CCustomControlSite, IDocHostUIHandler>
    {
    public:
        using CInterfacePart::CInterfacePart;
        STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object) override;
        STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
        STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                            IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
        STDMETHODIMP HideUI() override;
        STDMETHODIMP UpdateUI() override;
        STDMETHODIMP EnableModeless(BOOL enable) override;
        STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
        STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
        STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
        STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD id) override;
        STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
        STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** result) override;
        STDMETHODIMP GetExternal(IDispatch** dispatch) override;
        STDMETHODIMP TranslateUrl(DWORD flags, LPWSTR url, LPWSTR* result) override;
        STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** result) override;
    } m_xDocHostUIHandler{this};

    // The browser asks Exec(CGID_DocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR) before it shows its script-error
    // dialog: the answer is "go on running the page's scripts", and the error goes to the diagnostic log when that is
    // on. Every other group or command is left to the browser (OLECMDERR_E_UNKNOWNGROUP, OLECMDERR_E_NOTSUPPORTED).
    class XOleCommandTarget : public CInterfacePart<CCustomControlSite, IOleCommandTarget>
    {
    public:
        using CInterfacePart::CInterfacePart;
        STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
        STDMETHODIMP Exec(const GUID* group, DWORD id, DWORD options, VARIANT* in, VARIANT* out) override;
    } m_xOleCommandTarget{this};

    IDispatch* m_pExternal;
};
