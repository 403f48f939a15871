#pragma once

#include "framework/ComPtr.h"

class COleControlSite;

// The sink of one control's default events: it connects to the control's connection point for its default
// source interface, and hands each event to the hosting window's event map (CDialog::OnEvent, see EventMap.h) with
// the control's id. It has an identity of its own (it answers for IUnknown, IDispatch and the event interface);
// its references count on the site, which owns it.
class COleEventSink : public IDispatch
{
public:
    explicit COleEventSink(COleControlSite* site) : m_pSite(site) {}
    COleEventSink(const COleEventSink&) = delete;
    COleEventSink& operator=(const COleEventSink&) = delete;

    // Finds the control's default event interface (class information 2, else the class's type information) and
    // advises it. A control without events fails here, and works all the same.
    HRESULT Connect(IUnknown* control);
    // Unadvises, if connected.
    void Disconnect();
    // The connected event interface; IID_NULL when none is.
    const IID& EventInterface() const { return m_iid; }

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

private:
    static HRESULT FindEventInterface(IUnknown* control, IID& iid);

    COleControlSite* const m_pSite;
    IID m_iid = IID_NULL;
    CComPtr<IConnectionPoint> m_pPoint;
    DWORD m_dwCookie = 0;
};
