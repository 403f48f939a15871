#pragma once

#include "framework/Afx.h"

// The one guard where the platform calls in (window messages, dialog initialisation, control events, owner drawing,
// control sites): an exception a handler lets out is swallowed, as nothing may be thrown out of a window procedure or
// a COM method. The user sees nothing; a developer reads one line on the debugger's channel (OutputDebugString):
// where it happened, what was thrown and its HRESULT where it carries one. Each is counted, and the count answered
// beside the live counts (framework/LiveCounts.h), so that a long run can say that it swallowed nothing.

// Says on the debugger's channel that the exception being handled was swallowed. where is a printf format with up to
// two numbers (a message and its wParam, an event's identifier), filled in only now. Call it inside a catch block.
void AfxTraceSwallowed(const char* where, unsigned long long first, unsigned long long second);

// Runs handler; an exception it lets out is swallowed and traced (AfxTraceSwallowed), and the handler is taken to have
// returned normally. False when it threw.
template <class Handler>
bool AfxCallGuarded(Handler&& handler, const char* where = "a handler", unsigned long long first = 0,
                    unsigned long long second = 0)
{
    try
    {
        handler();
        return true;
    }
    catch (...)
    {
        AfxTraceSwallowed(where, first, second);
        return false;
    }
}
