#pragma once

#include <atomic>

// A method that does nothing of its own (a COM interface's method the client has no use for, answered E_NOTIMPL or
// as "nothing to do") says so: the first call of each writes one line to the diagnostic writer the application set,
// when it set one (it does while the diagnostic log is on). The user sees nothing; a developer chasing a fault sees
// which of them the browser or the platform asked for.
#define AFX_STUB(name)                                                                                                 \
    do                                                                                                                 \
    {                                                                                                                  \
        static std::atomic<bool> said_{false};                                                                         \
        AfxStubCalled(name, said_);                                                                                    \
    } while (0)

// Writes "stub: <name> called (first call)" through the writer, once per said flag.
void AfxStubCalled(const char* name, std::atomic<bool>& said);

// Where stubs write their one line; null (the default) writes nothing. Returns the writer it replaces.
using AfxDiagnosticWriter = void (*)(const char* line);
AfxDiagnosticWriter AfxSetDiagnosticWriter(AfxDiagnosticWriter writer);
