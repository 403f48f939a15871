#pragma once

#include "core/AnsiString.h"
#include "framework/Afx.h"

#include <string>
#include <utility>

// Calls into an ActiveX control by dispatch identifier (COleControlWnd::InvokeHelper).

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
//   CAnsiString  text of the thread's code page (an address, say), passed as a BSTR that the argument owns;
//   std::wstring UTF-16 text (an address that must keep every character), likewise;
//   VARIANT*     passed by reference (VT_BYREF | VT_VARIANT): the control reads and may write the caller's variant;
//   long, int    VT_I4.
// Plain char text is refused when the call compiles: say which code page it is in.
class CDispArg
{
public:
    CDispArg() { ::VariantInit(&m_var); }
    CDispArg(const CAnsiString& text);
    CDispArg(const std::wstring& text);
    CDispArg(const char*) = delete;
    CDispArg(VARIANT* byRef);
    CDispArg(long value);
    CDispArg(int value) : CDispArg(static_cast<long>(value)) {}
    ~CDispArg() { ::VariantClear(&m_var); }
    CDispArg(const CDispArg&) = delete;
    CDispArg& operator=(const CDispArg&) = delete;

    VARIANT m_var;
};

// Calls dispid of dispatch with args, count of them in call order. vtRet: VT_EMPTY for no result; VT_I4 (long),
// VT_BSTR (BSTR, the caller frees it) or VT_VARIANT (a VARIANT the caller clears) stored at pvRet. Throws
// COleDispatchException when the call fails.
void AfxInvokeDispatch(IDispatch* dispatch, DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, CDispArg* args,
                       UINT count);
