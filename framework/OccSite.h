#pragma once

#include "framework/ComNested.h"
#include "framework/ComPtr.h"
#include "framework/ControlWnd.h"
#include "framework/DlgTemplate.h"
#include "framework/OccEvents.h"

class COleControlContainer;

// Hosts one control. COM identity: the client site; every interface of the site (those below, and those a derived
// site adds through GetInterfaceHook) answers QueryInterface, AddRef and Release through the External* methods.
// The framework owns the site: it is destroyed with its control, when the hosting window is destroyed.
class COleControlSite
{
public:
    explicit COleControlSite(COleControlContainer* container) : m_pCtrlCont(container) {}
    virtual ~COleControlSite();
    COleControlSite(const COleControlSite&) = delete;
    COleControlSite& operator=(const COleControlSite&) = delete;

    HRESULT ExternalQueryInterface(REFIID iid, void** ppv);
    ULONG ExternalAddRef();
    ULONG ExternalRelease();

    // Creates the control of item in the container's window at rect (its client coordinates): the object, its
    // client site, its initial state, in-place activation, its window's id, visibility and place in the tab order,
    // and its event connection. On failure the control is torn down again and the site can be discarded.
    virtual HRESULT CreateControl(const AfxOleControlItem& item, const RECT& rect);
    // Tears the control down in this order: deactivate (InPlaceDeactivate), unadvise the event sink,
    // Close(OLECLOSE_NOSAVE), SetClientSite(nullptr), release; detaches the window object bound to it.
    virtual void DestroyControl();

    // A window object that stands for this control (data exchange); DestroyControl detaches it.
    void AttachWindow(COleControlWnd* wnd);
    void DetachWindow();
    // Moves the control (container client coordinates) through its in-place object.
    void MoveWindow(const RECT& rect, BOOL repaint);
    // Offers a keyboard message to the control's in-place active object; true when it took the message.
    bool TranslateAccelerator(MSG* msg);
    // The control's default event interface, connected to the hosting window's event map; IID_NULL when none is.
    const IID& EventInterface() const { return m_eventSink.EventInterface(); }
    // The sink the control calls with its events (no reference added).
    IDispatch* EventSink() { return &m_eventSink; }
    // The dispatch call behind COleControlWnd::InvokeHelper (see Dispatch.h); args are in call order.
    void InvokeHelperV(DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, CDispArg* args, UINT count);
    // The owner lets go (after DestroyControl): deletes the site now, or when the last reference a control still
    // holds is released.
    void Discard();

    COleControlContainer* m_pCtrlCont; // null once the control is torn down
    HWND m_hWnd = nullptr;             // the control's window
    UINT m_nID = 0;
    RECT m_rect = {};    // in the container's client coordinates
    DWORD m_dwStyle = 0; // from the template
    DWORD m_dwMiscStatus = 0;
    CLSID m_clsid = {};
    COleControlWnd* m_pWndCtrl = nullptr; // the window object bound to the control, if any
    CComPtr<IOleObject> m_pObject;
    CComPtr<IOleInPlaceObject> m_pInPlaceObject;

protected:
    // The interface map: the interface of the site that answers for iid, or null. A derived site answers for its
    // own interfaces and passes every other iid on to its base class. No reference is added here. IID_IUnknown
    // never comes here: the site answers it itself, so that it keeps one identity.
    virtual void* GetInterfaceHook(REFIID iid);

    ULONG m_dwRef = 0; // references that controls hold on the site

private:
    void PlaceWindow(const AfxOleControlItem& item);

    class XOleClientSite : public CInterfacePart<COleControlSite, IOleClientSite>
    {
    public:
        using CInterfacePart::CInterfacePart;
        STDMETHODIMP SaveObject() override;
        STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
        STDMETHODIMP GetContainer(IOleContainer** container) override;
        STDMETHODIMP ShowObject() override;
        STDMETHODIMP OnShowWindow(BOOL show) override;
        STDMETHODIMP RequestNewObjectLayout() override;
    } m_xOleClientSite{this};

    class XOleIPSite : public CInterfacePart<COleControlSite, IOleInPlaceSite>
    {
    public:
        using CInterfacePart::CInterfacePart;
        STDMETHODIMP GetWindow(HWND* hwnd) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
        STDMETHODIMP CanInPlaceActivate() override;
        STDMETHODIMP OnInPlaceActivate() override;
        STDMETHODIMP OnUIActivate() override;
        STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT posRect,
                                      LPRECT clipRect, LPOLEINPLACEFRAMEINFO frameInfo) override;
        STDMETHODIMP Scroll(SIZE extent) override;
        STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
        STDMETHODIMP OnInPlaceDeactivate() override;
        STDMETHODIMP DiscardUndoState() override;
        STDMETHODIMP DeactivateAndUndo() override;
        STDMETHODIMP OnPosRectChange(LPCRECT posRect) override;
    } m_xOleIPSite{this};

    class XOleControlSite : public CInterfacePart<COleControlSite, IOleControlSite>
    {
    public:
        using CInterfacePart::CInterfacePart;
        STDMETHODIMP OnControlInfoChanged() override;
        STDMETHODIMP LockInPlaceActive(BOOL lock) override;
        STDMETHODIMP GetExtendedControl(IDispatch** dispatch) override;
        STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
        STDMETHODIMP TranslateAccelerator(MSG* msg, DWORD modifiers) override;
        STDMETHODIMP OnFocus(BOOL gotFocus) override;
        STDMETHODIMP ShowPropertyFrame() override;
    } m_xOleControlSite{this};

    // Ambient properties: user mode, and no UI of the container's own; DISP_E_MEMBERNOTFOUND for the rest.
    class XAmbientProps : public CInterfacePart<COleControlSite, IDispatch>
    {
    public:
        using CInterfacePart::CInterfacePart;
        STDMETHODIMP GetTypeInfoCount(UINT* count) override;
        STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
        STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
        STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* exception, UINT* argError) override;
    } m_xAmbientProps{this};

    COleEventSink m_eventSink{this};

    bool m_bClientSiteSet = false;
    bool m_bDiscarded = false;
};
