#pragma once

#include "framework/ComPtr.h"
#include "framework/DlgTemplate.h"
#include "framework/Wnd.h"

#include <cstddef>
#include <vector>

// The ActiveX control container: dialogs host the controls their templates name, each control in a site that
// answers for what a control needs of its container (client site, in-place site, control site, ambient properties),
// with its events delivered to the dialog's event map.
//
// Nested interface objects. A class that answers for several COM interfaces implements each one in a member
// m_x<Name> of a nested class X<Name> that has no fields of its own: the member finds its owner from its own
// address (METHOD_PROLOGUE), and its IUnknown methods forward to the owner (AFX_FORWARD_IUNKNOWN), so every
// interface shares the owner's identity and reference count.
//
// Adding an interface to the site, for example a UI handler for the web browser:
//
//   class CCustomControlSite : public COleControlSite
//   {
//   public:
//       explicit CCustomControlSite(COleControlContainer* container) : COleControlSite(container) {}
//
//   protected:
//       void* GetInterfaceHook(REFIID iid) override
//       {
//           if (iid == IID_IDocHostUIHandler)
//               return static_cast<IDocHostUIHandler*>(&m_xDocHostUIHandler);
//           return COleControlSite::GetInterfaceHook(iid); // every interface of the framework's site
//       }
//
//       class XDocHostUIHandler : public IDocHostUIHandler
//       {
//       public:
//           AFX_FORWARD_IUNKNOWN(CCustomControlSite, DocHostUIHandler)
//           STDMETHODIMP GetExternal(IDispatch** dispatch) override
//           {
//               METHOD_PROLOGUE(CCustomControlSite, DocHostUIHandler) // pThis: the site
//               ...
//           }
//           ...
//       } m_xDocHostUIHandler;
//   };
//
//   class CCustomOccManager : public COccManager
//   {
//   public:
//       COleControlSite* CreateSite(COleControlContainer* container) override
//       {
//           return new CCustomControlSite(container);
//       }
//   };

// In a method of nested class X<localClass>: pThis, the object of class theClass it is the member m_x<localClass> of.
// offsetof on a class with virtual functions is only conditionally supported; GCC supports it for classes without
// virtual bases, which is all this is used for.
#define METHOD_PROLOGUE(theClass, localClass)                                                                          \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") theClass* pThis =          \
        reinterpret_cast<theClass*>(reinterpret_cast<BYTE*>(this) - offsetof(theClass, m_x##localClass));              \
    _Pragma("GCC diagnostic pop")(void) pThis;

// QueryInterface, AddRef and Release of nested class X<localClass>, forwarded to the owner's External* methods.
#define AFX_FORWARD_IUNKNOWN(theClass, localClass)                                                                     \
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override                                                       \
    {                                                                                                                  \
        METHOD_PROLOGUE(theClass, localClass)                                                                          \
        return pThis->ExternalQueryInterface(iid, ppv);                                                                \
    }                                                                                                                  \
    STDMETHODIMP_(ULONG) AddRef() override                                                                             \
    {                                                                                                                  \
        METHOD_PROLOGUE(theClass, localClass)                                                                          \
        return pThis->ExternalAddRef();                                                                                \
    }                                                                                                                  \
    STDMETHODIMP_(ULONG) Release() override                                                                            \
    {                                                                                                                  \
        METHOD_PROLOGUE(theClass, localClass)                                                                          \
        return pThis->ExternalRelease();                                                                               \
    }

class COleControlSite;

// The controls one window hosts, and the in-place frame they all share (the window itself; there are no menus,
// toolbars or border space to negotiate). Created by the first control a window hosts; torn down by
// AfxDestroyControls when the window is destroyed.
class COleControlContainer
{
public:
    explicit COleControlContainer(CWnd* wnd) : m_pWnd(wnd) {}
    virtual ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    CWnd* m_pWnd;                          // the hosting window; null once the container is torn down
    std::vector<COleControlSite*> m_sites; // owned, in creation order

    COleControlSite* FindSite(UINT id) const;
    // The site whose control window is hwnd or an ancestor of it.
    COleControlSite* FindSiteByWindow(HWND hwnd) const;
    // Takes site over (a site whose control was created).
    void AddSite(COleControlSite* site) { m_sites.push_back(site); }
    // Tears every control down (see COleControlSite::DestroyControl) and lets go of the sites.
    void DestroyControls();

    // The in-place frame handed to the controls; no reference is added.
    IOleInPlaceFrame* GetFrame() { return &m_xOleIPFrame; }

    // Reference count of the frame. The container is deleted by its owner (Discard) or, when a control still holds
    // the frame then, by the frame's last Release.
    ULONG ExternalAddRef();
    ULONG ExternalRelease();
    HRESULT ExternalQueryInterface(REFIID iid, void** ppv);
    // The owner lets go: tears the controls down and deletes the container once nothing holds its frame.
    void Discard();

protected:
    ULONG m_dwRef = 0;

private:
    class XOleIPFrame : public IOleInPlaceFrame
    {
    public:
        AFX_FORWARD_IUNKNOWN(COleControlContainer, OleIPFrame)
        STDMETHODIMP GetWindow(HWND* hwnd) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
        STDMETHODIMP GetBorder(LPRECT border) override;
        STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
        STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
        STDMETHODIMP InsertMenus(HMENU menu, LPOLEMENUGROUPWIDTHS widths) override;
        STDMETHODIMP SetMenu(HMENU menu, HOLEMENU olemenu, HWND activeObject) override;
        STDMETHODIMP RemoveMenus(HMENU menu) override;
        STDMETHODIMP SetStatusText(LPCOLESTR text) override;
        STDMETHODIMP EnableModeless(BOOL enable) override;
        STDMETHODIMP TranslateAccelerator(LPMSG msg, WORD id) override;
    } m_xOleIPFrame;

    CComPtr<IOleInPlaceActiveObject> m_pActiveObject; // the UI-active control's, while one is
    bool m_bDiscarded = false;
};

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
    void AttachWindow(CWnd* wnd);
    void DetachWindow();
    // Moves the control (container client coordinates) through its in-place object.
    void MoveWindow(const RECT& rect, BOOL repaint);
    // Offers a keyboard message to the control's in-place active object; true when it took the message.
    bool TranslateAccelerator(MSG* msg);
    // The dispatch call behind CWnd::InvokeHelper; args are in call order.
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
    IID m_iidEvents = {};       // the control's default event interface; IID_NULL when it has none
    CWnd* m_pWndCtrl = nullptr; // the window object bound to the control, if any
    CComPtr<IOleObject> m_pObject;
    CComPtr<IOleInPlaceObject> m_pInPlaceObject;

protected:
    // The interface map: the interface of the site that answers for iid, or null. A derived site answers for its
    // own interfaces and passes every other iid on to its base class. No reference is added here. IID_IUnknown
    // never comes here: the site answers it itself, so that it keeps one identity.
    virtual void* GetInterfaceHook(REFIID iid);

    ULONG m_dwRef = 0; // references that controls hold on the site

private:
    HRESULT ConnectEvents();
    void DisconnectEvents();
    HRESULT FindEventInterface(IID& iid);
    void PlaceWindow(const AfxOleControlItem& item);

    class XOleClientSite : public IOleClientSite
    {
    public:
        AFX_FORWARD_IUNKNOWN(COleControlSite, OleClientSite)
        STDMETHODIMP SaveObject() override;
        STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
        STDMETHODIMP GetContainer(IOleContainer** container) override;
        STDMETHODIMP ShowObject() override;
        STDMETHODIMP OnShowWindow(BOOL show) override;
        STDMETHODIMP RequestNewObjectLayout() override;
    } m_xOleClientSite;

    class XOleIPSite : public IOleInPlaceSite
    {
    public:
        AFX_FORWARD_IUNKNOWN(COleControlSite, OleIPSite)
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
    } m_xOleIPSite;

    class XOleControlSite : public IOleControlSite
    {
    public:
        AFX_FORWARD_IUNKNOWN(COleControlSite, OleControlSite)
        STDMETHODIMP OnControlInfoChanged() override;
        STDMETHODIMP LockInPlaceActive(BOOL lock) override;
        STDMETHODIMP GetExtendedControl(IDispatch** dispatch) override;
        STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
        STDMETHODIMP TranslateAccelerator(MSG* msg, DWORD modifiers) override;
        STDMETHODIMP OnFocus(BOOL gotFocus) override;
        STDMETHODIMP ShowPropertyFrame() override;
    } m_xOleControlSite;

    // Ambient properties: user mode, and no UI of the container's own; DISP_E_MEMBERNOTFOUND for the rest.
    class XAmbientProps : public IDispatch
    {
    public:
        AFX_FORWARD_IUNKNOWN(COleControlSite, AmbientProps)
        STDMETHODIMP GetTypeInfoCount(UINT* count) override;
        STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
        STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
        STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* exception, UINT* argError) override;
    } m_xAmbientProps;

    // The sink of the control's default events: each event goes to the hosting window's event map with the
    // control's id. Its own identity (it answers for IDispatch and the event interface), the site's lifetime.
    class XEventSink : public IDispatch
    {
    public:
        STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetTypeInfoCount(UINT* count) override;
        STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
        STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
        STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* exception, UINT* argError) override;
    } m_xEventSink;

    CComPtr<IConnectionPoint> m_pEventPoint;
    DWORD m_dwEventCookie = 0;
    bool m_bClientSiteSet = false;
    bool m_bDiscarded = false;
};

// Makes the sites of the controls that dialogs create, and creates those controls.
class COccManager
{
public:
    virtual ~COccManager() = default;
    // A new site for a control of container; null to skip the control.
    virtual COleControlSite* CreateSite(COleControlContainer* container);
    // Creates the ActiveX controls taken out of a dialog's template, at their template places, in the dialog's
    // container (made when the first control is created). A control that cannot be created is left out. True when
    // every control was created.
    virtual BOOL CreateDlgControls(CWnd* dialog, const std::vector<AfxOleControlItem>& items);
};

// Installs the manager for every dialog created from now on (null: the framework's own) and initialises OLE on the
// calling thread, the user-interface thread; OLE is uninitialised again when the process exits.
void AfxEnableControlContainer(COccManager* manager = nullptr);
COccManager* AfxGetOccManager();
// Tears down the controls a window hosts; run when the window is destroyed.
void AfxDestroyControls(CWnd* wnd);
// Makes control stand for the control of site (data exchange on an ActiveX control's id).
void AfxAttachControlSite(CWnd& control, COleControlSite* site);
// Offers a keyboard message to the ActiveX control whose window holds the message's window (the focus);
// true when the control's in-place active object took it.
bool AfxPreTranslateControlMessage(MSG* msg);
