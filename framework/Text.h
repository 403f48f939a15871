#pragma once

#include "framework/Afx.h"

// UTF-8 <-> UTF-16 at the Win32 boundary.
std::wstring AfxWide(const char* utf8);
std::string AfxUtf8(const wchar_t* wide);

// UTF-16 <-> the thread's narrow (ANSI) code page, for the texts that the client keeps narrow.
std::string AfxNarrow(const wchar_t* wide);
std::wstring AfxWideFromNarrow(const char* narrow);
