#pragma once

#include "framework/Afx.h"

// A message box with the application's name as its caption, owned by the window the user works in.
// text is UTF-8. Returns the button chosen (IDOK, IDYES, ...).
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
