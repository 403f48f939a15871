#include "framework/Stub.h"

#include <string>

namespace
{

std::atomic<AfxDiagnosticWriter> g_writer{nullptr};

} // namespace

void AfxStubCalled(const char* name, std::atomic<bool>& said)
{
    const AfxDiagnosticWriter writer = g_writer.load();
    // Not marked as said while nobody listens: a writer set later still hears of the first call it could.
    if (!writer || said.exchange(true))
        return;
    writer(("stub: " + std::string(name) + " called (first call)").c_str());
}

AfxDiagnosticWriter AfxSetDiagnosticWriter(AfxDiagnosticWriter writer)
{
    return g_writer.exchange(writer);
}
