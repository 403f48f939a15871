#include "host/ImpIDispatch.h"
#include "framework/Stub.h"

STDMETHODIMP CImpIDispatch::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IDispatch && riid != IID_IUnknown)
        return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CImpIDispatch::AddRef()
{
    return static_cast<ULONG>(++m_cRef);
}

STDMETHODIMP_(ULONG) CImpIDispatch::Release()
{
    return static_cast<ULONG>(--m_cRef); // never deletes: the application owns the object
}

STDMETHODIMP CImpIDispatch::GetTypeInfoCount(UINT*)
{
    AFX_STUB("IDispatch::GetTypeInfoCount (external object)");
    return E_NOTIMPL;
}

STDMETHODIMP CImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    AFX_STUB("IDispatch::GetTypeInfo (external object)");
    return E_NOTIMPL;
}

STDMETHODIMP CImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids)
{
    if (count && (!names || !ids))
        return E_POINTER;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i)
    {
        // The whole name counts, letter case respected, character width not.
        const bool match =
            names[i] && ::CompareStringW(lcid, NORM_IGNOREWIDTH, names[i], -1, L"xxyyzz", -1) == CSTR_EQUAL;
        ids[i] = match ? kDispIdXxyyzz : DISPID_UNKNOWN;
        if (!match)
            result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

STDMETHODIMP CImpIDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*)
{
    if (id == kDispIdXxyyzz && (flags & DISPATCH_PROPERTYGET) && result)
    {
        ::VariantInit(result);
        result->vt = VT_BSTR;
        result->bstrVal = ::SysAllocString(L"Wibble");
    }
    return S_OK;
}
