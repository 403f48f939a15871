// The parser's diagnostic log: one file a local day under ./debug, opened and closed for every record.
#include "config/core/ZoIni.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

namespace ZoGameBase
{

namespace
{

DebugLogClock g_clock = nullptr;
bool g_diagnosticLog = false;

void MakeLogFolder()
{
    // Fails harmlessly when the folder is already there.
#ifdef _WIN32
    _mkdir("debug");
#else
    mkdir("debug", 0777);
#endif
}

// Appends one "<message> -- <ctime>" record to the day's file.
void AppendRecord(const char* format, va_list args)
{
    char message[2048] = {};
    std::vsnprintf(message, sizeof message, format, args); // cuts what does not fit

    const std::time_t now = g_clock ? static_cast<std::time_t>(g_clock()) : std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local)
        return;
    const unsigned year = static_cast<unsigned>(local->tm_year + 1900);
    const unsigned month = static_cast<unsigned>(local->tm_mon + 1);
    const unsigned day = static_cast<unsigned>(local->tm_mday);
    const char* stamp = std::ctime(&now); // ends with its own line end
    if (!stamp)
        return;

    MakeLogFolder();
    char path[64];
    std::snprintf(path, sizeof path, "./debug/%u_%u_%u.log", year, month, day);
    std::FILE* file = std::fopen(path, "a+");
    if (!file)
        return;
    std::fprintf(file, "%s -- %s", message, stamp);
    std::fclose(file);
}

} // namespace

void SetDebugLogClock(DebugLogClock clock)
{
    g_clock = clock;
}

void EnableDiagnosticLog(bool on)
{
    g_diagnosticLog = on;
}

bool IsDiagnosticLogEnabled()
{
    return g_diagnosticLog;
}

void WriteDebugLog(const CZoIni* ini, const char* format, ...)
{
    if (!ini || !ini->IsLogEnabled() || !format)
        return;
    va_list args;
    va_start(args, format);
    AppendRecord(format, args);
    va_end(args);
}

void WriteDiagnosticLog(const char* format, ...)
{
    if (!g_diagnosticLog || !format)
        return;
    va_list args;
    va_start(args, format);
    AppendRecord(format, args);
    va_end(args);
}

} // namespace ZoGameBase
