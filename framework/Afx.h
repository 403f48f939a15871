#pragma once

// The framework layer: what the client's classes expect of an application framework (application object,
// windows, dialogs from templates, message and event maps, data exchange, message boxes, registry profile,
// ActiveX control container, dispatch calls), and nothing more.
//
// Text handed to the layer as const char* is UTF-8 (the sources are UTF-8); the layer talks to Win32 through
// the wide-character calls, so Chinese text shows whatever the system's code page is.

// gdiplus.h needs <windows.h> and <objidl.h> before it.
#include <windows.h>
#include <objidl.h>
#include <ole2.h>
#include <olectl.h>
#include <oleauto.h>

#include <string>
