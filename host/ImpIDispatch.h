#pragma once

#include "framework/Afx.h"

// The object page script reaches as window.external. It knows one property, "xxyyzz" (dispatch id 12345),
// whose value is the text "Wibble". The application deletes it at exit; its reference count only serves
// the browser and never destroys it.
class CImpIDispatch : public IDispatch
{
public:
    static const DISPID kDispIdXxyyzz = 12345;

    CImpIDispatch() = default;
    virtual ~CImpIDispatch() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    LONG RefCount() const { return m_cRef; }

private:
    LONG m_cRef = 0;
};
