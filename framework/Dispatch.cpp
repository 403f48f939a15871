// Arguments of dispatch calls into controls, and of events coming out of them.
#include "framework/Dispatch.h"

#include "framework/ComPtr.h"
#include "framework/EventMap.h"
#include "framework/Text.h"

#include <vector>

CDispArg::CDispArg(const CAnsiString& text)
{
    ::VariantInit(&m_var);
    m_var.bstrVal = ::SysAllocString(AfxWideFromAnsi(text).c_str());
    if (!m_var.bstrVal)
        throw COleDispatchException(E_OUTOFMEMORY);
    m_var.vt = VT_BSTR;
}

CDispArg::CDispArg(const std::wstring& text)
{
    ::VariantInit(&m_var);
    m_var.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!m_var.bstrVal)
        throw COleDispatchException(E_OUTOFMEMORY);
    m_var.vt = VT_BSTR;
}

CDispArg::CDispArg(VARIANT* byRef)
{
    ::VariantInit(&m_var);
    m_var.vt = VT_BYREF | VT_VARIANT;
    m_var.pvarVal = byRef;
}

CDispArg::CDispArg(long value)
{
    ::VariantInit(&m_var);
    m_var.vt = VT_I4;
    m_var.lVal = value;
}

void AfxInvokeDispatch(IDispatch* dispatch, DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, CDispArg* args,
                       UINT count)
{
    if (vtRet != VT_EMPTY && vtRet != VT_I4 && vtRet != VT_BSTR && vtRet != VT_VARIANT)
        throw COleDispatchException(DISP_E_BADVARTYPE);
    if (vtRet != VT_EMPTY && !pvRet)
        throw COleDispatchException(E_POINTER);
    if (!dispatch)
        throw COleDispatchException(E_POINTER);

    // Invoke takes the arguments last first; the VARIANTs stay owned by args.
    std::vector<VARIANT> reversed(count);
    for (UINT i = 0; i < count; ++i)
        reversed[count - 1 - i] = args[i].m_var;
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS params = {count ? reversed.data() : nullptr, nullptr, count, 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
    {
        params.rgdispidNamedArgs = &namedPut;
        params.cNamedArgs = 1;
    }

    CComVariant result;
    EXCEPINFO exception = {};
    UINT argError = 0;
    HRESULT hr = dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                  vtRet == VT_EMPTY ? nullptr : result.Ptr(), &exception, &argError);
    if (FAILED(hr))
    {
        SCODE scode = hr;
        std::string description;
        if (hr == DISP_E_EXCEPTION)
        {
            if (exception.pfnDeferredFillIn)
                exception.pfnDeferredFillIn(&exception);
            if (exception.scode)
                scode = exception.scode;
            if (exception.bstrDescription)
                description = AfxUtf8(exception.bstrDescription);
        }
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::SysFreeString(exception.bstrHelpFile);
        throw COleDispatchException(scode, description);
    }

    switch (vtRet)
    {
    case VT_EMPTY:
        return;
    case VT_VARIANT:
        *static_cast<VARIANT*>(pvRet) = result.Get(); // the caller takes the contents over
        ::VariantInit(result.Ptr());
        return;
    default:
        break;
    }
    if (FAILED(hr = ::VariantChangeType(result.Ptr(), result.Ptr(), 0, vtRet)))
        throw COleDispatchException(hr);
    if (vtRet == VT_I4)
    {
        *static_cast<long*>(pvRet) = result.Get().lVal;
    }
    else
    {
        *static_cast<BSTR*>(pvRet) = result.Get().bstrVal;
        ::VariantInit(result.Ptr());
    }
}

bool CAfxEventArg<IDispatch*>::Load(VARIANT& arg)
{
    if (arg.vt == VT_DISPATCH)
        m_value = arg.pdispVal;
    else if (arg.vt == (VT_BYREF | VT_DISPATCH) && arg.ppdispVal)
        m_value = *arg.ppdispVal;
    else
        return arg.vt == VT_EMPTY || arg.vt == VT_NULL; // no object
    return true;
}

bool CAfxEventArg<VARIANT*>::Load(VARIANT& arg)
{
    // A variant by reference is the caller's own; anything else is handed over as it is.
    m_value = arg.vt == (VT_BYREF | VT_VARIANT) ? arg.pvarVal : &arg;
    return m_value != nullptr;
}

bool CAfxEventArg<VARIANT_BOOL*>::Load(VARIANT& arg)
{
    if (arg.vt != (VT_BYREF | VT_BOOL) || !arg.pboolVal)
        return false;
    m_value = arg.pboolVal;
    return true;
}

bool CAfxEventArg<long>::Load(VARIANT& arg)
{
    VARIANT converted;
    ::VariantInit(&converted);
    if (FAILED(::VariantChangeType(&converted, &arg, 0, VT_I4)))
        return false;
    m_value = converted.lVal;
    return true;
}

bool CAfxEventArg<BSTR>::Load(VARIANT& arg)
{
    if (arg.vt == VT_BSTR)
    {
        m_value = arg.bstrVal;
        return true;
    }
    if (arg.vt == (VT_BYREF | VT_BSTR) && arg.pbstrVal)
    {
        m_value = *arg.pbstrVal;
        return true;
    }
    if (FAILED(::VariantChangeType(&m_converted, &arg, 0, VT_BSTR)))
        return false;
    m_value = m_converted.bstrVal;
    return true;
}
