#pragma once

#include "framework/Afx.h"

// UTF-8 <-> UTF-16 at the Win32 boundary.
std::wstring AfxWide(const char* utf8);
std::string AfxUtf8(const wchar_t* wide);

// The thread's narrow (ANSI) code page -> UTF-16, for the texts that the client keeps narrow.
std::wstring AfxWideFromNarrow(const char* narrow);
