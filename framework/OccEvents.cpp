// The event connection of a control and the sink that delivers its events to the hosting window's event map.
#include "framework/OccEvents.h"

#include "framework/Dialog.h"
#include "framework/OccContainer.h"
#include "framework/OccSite.h"
#include "framework/Stub.h"

HRESULT COleEventSink::FindEventInterface(IUnknown* control, IID& iid)
{
    CComPtr<IProvideClassInfo2> info2;
    if (SUCCEEDED(info2.QueryFrom(control, IID_IProvideClassInfo2)) &&
        SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)))
        return S_OK;

    // The class's type information names its default source interface.
    CComPtr<IProvideClassInfo> info;
    HRESULT hr = info.QueryFrom(control, IID_IProvideClassInfo);
    if (FAILED(hr))
        return hr;
    CComPtr<ITypeInfo> classInfo;
    if (FAILED(hr = info->GetClassInfo(classInfo.Receive())))
        return hr;
    if (!classInfo)
        return E_UNEXPECTED;
    TYPEATTR* classAttr = nullptr;
    if (FAILED(hr = classInfo->GetTypeAttr(&classAttr)))
        return hr;
    const WORD implCount = classAttr->cImplTypes;
    classInfo->ReleaseTypeAttr(classAttr);

    for (UINT i = 0; i < implCount; ++i)
    {
        INT flags = 0;
        if (FAILED(classInfo->GetImplTypeFlags(i, &flags)))
            continue;
        if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            continue;
        HREFTYPE ref = 0;
        CComPtr<ITypeInfo> eventInfo;
        if (FAILED(classInfo->GetRefTypeOfImplType(i, &ref)) ||
            FAILED(classInfo->GetRefTypeInfo(ref, eventInfo.Receive())) || !eventInfo)
            continue;
        TYPEATTR* eventAttr = nullptr;
        if (FAILED(eventInfo->GetTypeAttr(&eventAttr)))
            continue;
        // The sink answers through IDispatch only.
        const bool dispatch = eventAttr->typekind == TKIND_DISPATCH;
        iid = eventAttr->guid;
        eventInfo->ReleaseTypeAttr(eventAttr);
        return dispatch ? S_OK : E_NOINTERFACE;
    }
    return E_NOINTERFACE;
}

HRESULT COleEventSink::Connect(IUnknown* control)
{
    Disconnect();
    IID iid = IID_NULL;
    HRESULT hr = FindEventInterface(control, iid);
    if (FAILED(hr))
        return hr;
    CComPtr<IConnectionPointContainer> points;
    if (FAILED(hr = points.QueryFrom(control, IID_IConnectionPointContainer)))
        return hr;
    CComPtr<IConnectionPoint> point;
    if (FAILED(hr = points->FindConnectionPoint(iid, point.Receive())))
        return hr;
    if (!point)
        return E_UNEXPECTED;
    // Set before Advise: the control may ask the sink for the interface while it advises.
    m_iid = iid;
    DWORD cookie = 0;
    if (FAILED(hr = point->Advise(static_cast<IDispatch*>(this), &cookie)))
    {
        m_iid = IID_NULL;
        return hr;
    }
    m_pPoint = std::move(point);
    m_dwCookie = cookie;
    return S_OK;
}

void COleEventSink::Disconnect()
{
    m_iid = IID_NULL;
    if (!m_pPoint)
        return;
    m_pPoint->Unadvise(m_dwCookie); // a refusal leaves nothing to do but let go of the point
    m_pPoint.Reset();
    m_dwCookie = 0;
}

STDMETHODIMP COleEventSink::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && (iid != m_iid || iid == IID_NULL))
        return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) COleEventSink::AddRef()
{
    return m_pSite->ExternalAddRef();
}

STDMETHODIMP_(ULONG) COleEventSink::Release()
{
    return m_pSite->ExternalRelease();
}

STDMETHODIMP COleEventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP COleEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    AFX_STUB("IDispatch::GetTypeInfo (event sink)");
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    AFX_STUB("IDispatch::GetIDsOfNames (event sink)");
    return E_NOTIMPL;
}

STDMETHODIMP COleEventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    COleControlSite* pThis = m_pSite;
    CDialog* wnd = pThis->m_pCtrlCont ? pThis->m_pCtrlCont->m_pWnd : nullptr;
    if (!wnd)
        return S_OK;
    // A handler may destroy the window and so tear this control down: the reference keeps the site until the
    // handler has returned.
    pThis->ExternalAddRef();
    const UINT id = pThis->m_nID;
    AfxCallGuarded([&] { wnd->OnEvent(id, dispid, params); }, "the handler of event %lld of control %llu",
                   static_cast<long long>(dispid), id);
    pThis->ExternalRelease();
    return S_OK;
}
