#pragma once

#include "framework/Afx.h"

// The one message pump, shared by the application's loop and by every modal loop.
//
// Takes the next message of this thread (waiting for one), offers a keyboard message to the windows it is meant
// for (CWnd::PreTranslateMessage from the target up to its top-level window: the hosted ActiveX control that holds
// the focus, then the dialog's own keyboard handling), and dispatches what none of them took. Returns false, with
// the quit code in exitCode, when the message is WM_QUIT or the thread's queue fails.
bool AfxPumpMessage(int& exitCode);

// The keyboard step of the pump on its own: true when a window object took the message.
bool AfxPreTranslateMessage(MSG* msg);
