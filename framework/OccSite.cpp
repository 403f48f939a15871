// The control site: creation and teardown of one control, and the interfaces the control talks to its host
// through. Its events: OccEvents.cpp; dispatch calls into it: Dispatch.cpp.
#include "framework/OccSite.h"

#include "framework/Dialog.h"
#include "framework/OccContainer.h"

#include <vector>

#include "framework/Stub.h"
#include "framework/Text.h"

namespace
{

HWND ContainerWindow(COleControlContainer* container)
{
    return container && container->m_pWnd ? container->m_pWnd->m_hWnd : nullptr;
}

// Pixels to the HIMETRIC units of IOleObject::SetExtent, at the screen's resolution.
SIZEL HimetricSize(const RECT& rect)
{
    HDC screen = ::GetDC(nullptr);
    const int dpiX = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    const int dpiY = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return SIZEL{::MulDiv(rect.right - rect.left, 2540, dpiX), ::MulDiv(rect.bottom - rect.top, 2540, dpiY)};
}

} // namespace

COleControlSite::~COleControlSite()
{
    // Normally torn down already; a site deleted directly takes its control with it.
    if (m_pObject)
        COleControlSite::DestroyControl();
}

// ---- identity ----

HRESULT COleControlSite::ExternalQueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    // IUnknown is answered here, so that a derived map cannot give the site a second identity.
    *ppv = iid == IID_IUnknown ? static_cast<IOleClientSite*>(&m_xOleClientSite) : GetInterfaceHook(iid);
    if (!*ppv)
        return E_NOINTERFACE;
    ExternalAddRef();
    return S_OK;
}

ULONG COleControlSite::ExternalAddRef()
{
    return ++m_dwRef;
}

ULONG COleControlSite::ExternalRelease()
{
    if (m_dwRef == 0)
        return 0; // an unbalanced Release: nothing to give back
    const ULONG count = --m_dwRef;
    if (count == 0 && m_bDiscarded)
        delete this;
    return count;
}

void* COleControlSite::GetInterfaceHook(REFIID iid)
{
    if (iid == IID_IOleClientSite)
        return static_cast<IOleClientSite*>(&m_xOleClientSite);
    if (iid == IID_IOleInPlaceSite || iid == IID_IOleWindow)
        return static_cast<IOleInPlaceSite*>(&m_xOleIPSite);
    if (iid == IID_IOleControlSite)
        return static_cast<IOleControlSite*>(&m_xOleControlSite);
    if (iid == IID_IDispatch)
        return static_cast<IDispatch*>(&m_xAmbientProps);
    return nullptr;
}

void COleControlSite::Discard()
{
    m_bDiscarded = true;
    if (m_dwRef == 0)
        delete this;
}

// ---- creation and teardown ----

HRESULT COleControlSite::CreateControl(const AfxOleControlItem& item, const RECT& rect)
{
    HWND parent = ContainerWindow(m_pCtrlCont);
    if (!parent || m_pObject)
        return E_UNEXPECTED;
    m_nID = item.id;
    m_dwStyle = item.style;
    m_clsid = item.clsid;
    m_rect = rect;

    HRESULT hr = ::CoCreateInstance(item.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, m_pObject.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    if (FAILED(m_pObject->GetMiscStatus(DVASPECT_CONTENT, &m_dwMiscStatus)))
        m_dwMiscStatus = 0;

    // Some controls read ambient properties while they initialise, and say so.
    IOleClientSite* clientSite = &m_xOleClientSite;
    const bool siteFirst = (m_dwMiscStatus & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst)
    {
        if (FAILED(hr = m_pObject->SetClientSite(clientSite)))
            return hr;
        m_bClientSiteSet = true;
    }
    CComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(persist.QueryFrom(m_pObject.Get(), IID_IPersistStreamInit)) && FAILED(hr = persist->InitNew()))
        return hr;
    if (!siteFirst)
    {
        if (FAILED(hr = m_pObject->SetClientSite(clientSite)))
            return hr;
        m_bClientSiteSet = true;
    }

    // Controls that size themselves from the in-place rectangle refuse an extent; that is no failure.
    SIZEL extent = HimetricSize(m_rect);
    m_pObject->SetExtent(DVASPECT_CONTENT, &extent);

    // Connected before activation, so that events fired while the control starts reach the map. A control without
    // events works all the same.
    m_eventSink.Connect(m_pObject.Get());

    if (!(m_dwMiscStatus & OLEMISC_INVISIBLEATRUNTIME))
    {
        RECT pos = m_rect;
        hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, parent, &pos);
        if (FAILED(hr))
            hr = m_pObject->DoVerb(OLEIVERB_SHOW, nullptr, clientSite, 0, parent, &pos);
        if (FAILED(hr))
            return hr;
        if (FAILED(hr = m_pInPlaceObject.QueryFrom(m_pObject.Get(), IID_IOleInPlaceObject)))
            return hr;
        if (FAILED(hr = m_pInPlaceObject->GetWindow(&m_hWnd)))
            return hr;
        if (!m_hWnd)
            return E_UNEXPECTED;
        PlaceWindow(item);
    }
    return S_OK;
}

void COleControlSite::PlaceWindow(const AfxOleControlItem& item)
{
    HWND parent = ContainerWindow(m_pCtrlCont);
    // A child's id is a pointer-sized window value.
    ::SetWindowLongPtrW(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(item.id));

    // Tab stops and groups are the template's, whatever the control chose for its window.
    const DWORD tabBits = WS_TABSTOP | WS_GROUP;
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    const DWORD wanted = (style & ~tabBits) | (item.style & tabBits);
    if (wanted != style)
        ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(wanted));

    // The control shows its window when it activates; a template item without WS_VISIBLE starts hidden.
    if (!(item.style & WS_VISIBLE))
        ::ShowWindow(m_hWnd, SW_HIDE);
    else if (!::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNA);

    // Z order is the dialog manager's tab order: the control takes its template position. Every item before it
    // already exists by now (the dialog's own and the controls created before this one), so it goes right after
    // the child window that is its template predecessor, or first.
    HWND after = HWND_TOP;
    int predecessors = item.templateIndex;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child && predecessors > 0; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        if (child == m_hWnd)
            continue;
        after = child;
        --predecessors;
    }
    ::SetWindowPos(m_hWnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void COleControlSite::DestroyControl()
{
    DetachWindow();
    // Teardown goes on whatever each step returns: nothing more can be done about a control that refuses one.
    if (m_pInPlaceObject)
        m_pInPlaceObject->InPlaceDeactivate();
    m_eventSink.Disconnect();
    if (m_pObject)
    {
        m_pObject->Close(OLECLOSE_NOSAVE);
        if (m_bClientSiteSet)
            m_pObject->SetClientSite(nullptr);
        m_bClientSiteSet = false;
    }
    m_pInPlaceObject.Reset();
    m_pObject.Reset();
    m_hWnd = nullptr;
    m_pCtrlCont = nullptr;
}

// ---- what the window object bound to the control does through the site ----

void COleControlSite::AttachWindow(COleControlWnd* wnd)
{
    if (m_pWndCtrl && m_pWndCtrl != wnd)
        DetachWindow();
    // An object that stood for another control lets go of it first.
    if (COleControlSite* previous = wnd->ControlSite(); previous && previous != this)
        previous->DetachWindow();
    m_pWndCtrl = wnd;
    wnd->AttachSite(this, m_hWnd);
}

void COleControlSite::DetachWindow()
{
    if (!m_pWndCtrl)
        return;
    m_pWndCtrl->DetachSite();
    m_pWndCtrl = nullptr;
}

void COleControlSite::MoveWindow(const RECT& rect, BOOL repaint)
{
    m_rect = rect;
    HWND parent = ContainerWindow(m_pCtrlCont);
    if (m_pInPlaceObject && parent)
    {
        // The control moves its own window and whatever it shows inside.
        RECT clip = {};
        ::GetClientRect(parent, &clip);
        if (SUCCEEDED(m_pInPlaceObject->SetObjectRects(&m_rect, &clip)))
            return;
    }
    if (m_hWnd)
        ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

bool COleControlSite::TranslateAccelerator(MSG* msg)
{
    CComPtr<IOleInPlaceActiveObject> active;
    if (FAILED(active.QueryFrom(m_pObject.Get(), IID_IOleInPlaceActiveObject)))
        return false;
    return active->TranslateAccelerator(msg) == S_OK;
}

void COleControlSite::InvokeHelperV(DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, CDispArg* args, UINT count)
{
    CComPtr<IDispatch> dispatch;
    const HRESULT hr = dispatch.QueryFrom(m_pObject.Get(), IID_IDispatch);
    if (FAILED(hr))
        throw COleDispatchException(hr);
    AfxInvokeDispatch(dispatch.Get(), dispid, flags, vtRet, pvRet, args, count);
}

// ---- IOleClientSite ----

STDMETHODIMP COleControlSite::XOleClientSite::SaveObject()
{
    AFX_STUB("IOleClientSite::SaveObject");
    return E_NOTIMPL; // nothing of a control is saved
}

STDMETHODIMP COleControlSite::XOleClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    AFX_STUB("IOleClientSite::GetMoniker");
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::XOleClientSite::GetContainer(IOleContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleControlSite::XOleClientSite::ShowObject()
{
    AFX_STUB("IOleClientSite::ShowObject");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleClientSite::OnShowWindow(BOOL)
{
    AFX_STUB("IOleClientSite::OnShowWindow");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleClientSite::RequestNewObjectLayout()
{
    AFX_STUB("IOleClientSite::RequestNewObjectLayout");
    return E_NOTIMPL;
}

// ---- IOleInPlaceSite ----

STDMETHODIMP COleControlSite::XOleIPSite::GetWindow(HWND* hwnd)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    if (!hwnd)
        return E_POINTER;
    *hwnd = ContainerWindow(pThis->m_pCtrlCont);
    return *hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP COleControlSite::XOleIPSite::ContextSensitiveHelp(BOOL)
{
    AFX_STUB("IOleInPlaceSite::ContextSensitiveHelp");
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::XOleIPSite::CanInPlaceActivate()
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    return ContainerWindow(pThis->m_pCtrlCont) ? S_OK : S_FALSE;
}

STDMETHODIMP COleControlSite::XOleIPSite::OnInPlaceActivate()
{
    AFX_STUB("IOleInPlaceSite::OnInPlaceActivate");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleIPSite::OnUIActivate()
{
    AFX_STUB("IOleInPlaceSite::OnUIActivate");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleIPSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                                           LPRECT posRect, LPRECT clipRect,
                                                           LPOLEINPLACEFRAMEINFO frameInfo)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    if (!frame || !doc || !posRect || !clipRect || !frameInfo)
        return E_POINTER;
    *frame = nullptr;
    *doc = nullptr; // the frame is the document window too
    HWND parent = ContainerWindow(pThis->m_pCtrlCont);
    if (!parent)
        return E_UNEXPECTED;
    *frame = pThis->m_pCtrlCont->GetFrame();
    (*frame)->AddRef();
    *posRect = pThis->m_rect;
    ::GetClientRect(parent, clipRect);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = parent;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleIPSite::Scroll(SIZE)
{
    AFX_STUB("IOleInPlaceSite::Scroll");
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::XOleIPSite::OnUIDeactivate(BOOL)
{
    AFX_STUB("IOleInPlaceSite::OnUIDeactivate");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleIPSite::OnInPlaceDeactivate()
{
    AFX_STUB("IOleInPlaceSite::OnInPlaceDeactivate");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleIPSite::DiscardUndoState()
{
    AFX_STUB("IOleInPlaceSite::DiscardUndoState");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleIPSite::DeactivateAndUndo()
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    return pThis->m_pInPlaceObject ? pThis->m_pInPlaceObject->UIDeactivate() : S_OK;
}

STDMETHODIMP COleControlSite::XOleIPSite::OnPosRectChange(LPCRECT posRect)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    if (!posRect)
        return E_POINTER;
    pThis->MoveWindow(*posRect, TRUE);
    return S_OK;
}

// ---- IOleControlSite ----

STDMETHODIMP COleControlSite::XOleControlSite::OnControlInfoChanged()
{
    AFX_STUB("IOleControlSite::OnControlInfoChanged");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleControlSite::LockInPlaceActive(BOOL)
{
    AFX_STUB("IOleControlSite::LockInPlaceActive");
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::XOleControlSite::GetExtendedControl(IDispatch** dispatch)
{
    AFX_STUB("IOleControlSite::GetExtendedControl");
    if (!dispatch)
        return E_POINTER;
    *dispatch = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::XOleControlSite::TransformCoords(POINTL*, POINTF*, DWORD)
{
    AFX_STUB("IOleControlSite::TransformCoords");
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::XOleControlSite::TranslateAccelerator(MSG*, DWORD)
{
    return S_FALSE; // the container has no accelerators of its own
}

STDMETHODIMP COleControlSite::XOleControlSite::OnFocus(BOOL)
{
    AFX_STUB("IOleControlSite::OnFocus");
    return S_OK;
}

STDMETHODIMP COleControlSite::XOleControlSite::ShowPropertyFrame()
{
    AFX_STUB("IOleControlSite::ShowPropertyFrame");
    return E_NOTIMPL;
}

// ---- ambient properties ----

STDMETHODIMP COleControlSite::XAmbientProps::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP COleControlSite::XAmbientProps::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    AFX_STUB("IDispatch::GetTypeInfo (ambient properties)");
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::XAmbientProps::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids)
{
    for (UINT i = 0; ids && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP COleControlSite::XAmbientProps::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*,
                                                    VARIANT* result, EXCEPINFO*, UINT*)
{
    VARIANT_BOOL value = VARIANT_FALSE;
    switch (dispid)
    {
    case DISPID_AMBIENT_USERMODE:
        value = VARIANT_TRUE; // the controls run; nobody designs them here
        break;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_MESSAGEREFLECT:
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (!(flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND; // ambient properties are read-only
    if (!result)
        return E_POINTER;
    ::VariantInit(result);
    result->vt = VT_BOOL;
    result->boolVal = value;
    return S_OK;
}
