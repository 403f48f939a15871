#pragma once

// What the program says on the debugger's channel (OutputDebugString) while a piece of code runs: each line raises an
// exception that a vectored handler sees before the default handling takes it.

#include <windows.h>

#include <string>

namespace debug_output
{

inline std::string& Collected()
{
    static std::string text;
    return text;
}

inline LONG CALLBACK Collect(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
        Collected() += reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    else if (record->ExceptionCode == 0x4001000A /* DBG_PRINTEXCEPTION_WIDE_C */ && record->NumberParameters >= 2)
        for (const wchar_t* c = reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]); *c; ++c)
            Collected() += static_cast<char>(*c < 0x80 ? *c : '?');
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace debug_output

// The lines f() writes to the debugger's channel.
template <class F> std::string DebugOutputDuring(F f)
{
    debug_output::Collected().clear();
    void* handler = ::AddVectoredExceptionHandler(1, debug_output::Collect);
    f();
    ::RemoveVectoredExceptionHandler(handler);
    return debug_output::Collected();
}
