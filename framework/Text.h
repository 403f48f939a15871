#pragma once

#include "core/AnsiString.h"
#include "core/MbcsText.h"
#include "framework/Afx.h"

#include <string>

// Text at the Win32 boundary. The program's own text is UTF-8 and crosses through the wide calls; text of the
// thread's ANSI code page is a CAnsiString (see core/AnsiString.h) and is converted with CP_THREAD_ACP.

// UTF-8 <-> UTF-16. Null or empty text gives empty text.
std::wstring AfxWide(const char* utf8);
std::string AfxUtf8(const wchar_t* wide);

// The thread's code page -> UTF-16.
std::wstring AfxWideFromAnsi(const CAnsiString& ansi);

// UTF-16 -> the thread's code page: the first length units of wide, or all of them up to its terminator, and
// never past a zero unit. A character the code page cannot represent, and an unpaired surrogate, becomes the code
// page's default character ("?" in the common ones). Null gives empty text.
CAnsiString AfxAnsiFromWide(const wchar_t* wide, size_t length = std::wstring::npos);

// The string a VARIANT holds, by value (VT_BSTR) or by reference (VT_BYREF | VT_BSTR), as an event's address comes;
// null for a null VARIANT or one that holds anything else, which is then no text at all.
const BSTR* AfxBstrOf(const VARIANT* value);

// The lead bytes of the thread's code page, as the platform reports them (GetCPInfo on CP_THREAD_ACP); a
// single-byte code page, or one the platform cannot describe, has none.
CMbcsCodePage AfxThreadCodePage();

// String resource id of the executable, in the language the loader picks for this thread, as UTF-8; empty when
// there is none.
std::string AfxLoadString(UINT id);
