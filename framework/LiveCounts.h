#pragma once

#include "framework/Afx.h"

// What the process itself holds right now, counted by its own owners: GDI objects and device contexts it created
// (CGdiObject, CMemoryDC), and windows bound to window objects. The platform's own counts are not to be had
// everywhere (GetGuiResources answers 0 under Wine). A long run compares these over time. Beside them, the failures
// the framework's guard swallowed since the start (AfxTraceSwallowed): 0 in a run where nothing went wrong.
struct AfxLiveCounts
{
    LONG gdiObjects;
    LONG windows;
    LONG swallowed;
};
AfxLiveCounts AfxGetLiveCounts();
void AfxCountGdiObject(int change);
void AfxCountWindow(int change);
void AfxCountSwallowed();

// Any window of the framework answers this registered message ("Lumora.LiveCounts") with the count wParam names:
// 0 GDI objects, 1 windows, 2 swallowed failures. For tools that look at a running client from outside. Posted with a
// window in lParam, it is answered by posting the same message back to that window with the count in lParam: the answer
// comes once everything posted to the client's thread before the question has been handled.
UINT AfxLiveCountsMessage();
