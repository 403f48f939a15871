// Arguments of dispatch calls into controls, and of events coming out of them.
#include "framework/Dispatch.h"

#include "framework/EventMap.h"
#include "framework/Text.h"

CDispArg::CDispArg(const char* narrow)
{
    ::VariantInit(&m_var);
    m_var.bstrVal = ::SysAllocString(AfxWideFromNarrow(narrow).c_str());
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
