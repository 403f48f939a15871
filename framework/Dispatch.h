#pragma once

#include "framework/Afx.h"

#include <utility>

// Calls into an ActiveX control by dispatch identifier (CWnd::InvokeHelper).

// What a failed dispatch call throws.
class COleDispatchException
{
public:
    explicit COleDispatchException(SCODE scode, std::string description = std::string())
        : m_scError(scode), m_strDescription(std::move(description))
    {
    }

    // The error: what Invoke returned or, when the control raised an exception (DISP_E_EXCEPTION), the code its
    // exception information carried.
    SCODE m_scError;
    std::string m_strDescription; // UTF-8; the control's description of its exception, often empty
};

// One argument of InvokeHelper as the VARIANT the control receives:
//   const char*  narrow text of the thread's code page, passed as a BSTR that the argument owns;
//   VARIANT*     passed by reference (VT_BYREF | VT_VARIANT): the control reads and may write the caller's variant;
//   long, int    VT_I4.
class CDispArg
{
public:
    CDispArg() { ::VariantInit(&m_var); }
    CDispArg(const char* narrow);
    CDispArg(VARIANT* byRef);
    CDispArg(long value);
    CDispArg(int value) : CDispArg(static_cast<long>(value)) {}
    ~CDispArg() { ::VariantClear(&m_var); }
    CDispArg(const CDispArg&) = delete;
    CDispArg& operator=(const CDispArg&) = delete;

    VARIANT m_var;
};
