#include "config/core/BrowserSettings.h"

#include "config/core/ZoIni.h"

bool IsKnownDocumentMode(int mode)
{
    switch (mode)
    {
    case 0:
    case 7000:
    case 8000:
    case 8888:
    case 9000:
    case 9999:
    case 10000:
    case 10001:
    case 11000:
    case 11001:
        return true;
    default:
        return false;
    }
}

int ReadDocumentMode(const std::string& document)
{
    ZoGameBase::CZoIni ini;
    std::string text;
    if (!ini.LoadBuffer(document.data(), static_cast<int>(document.size())) || !ini.FindSection("Browser") ||
        !ini.ReadString("DocumentMode", text))
        return kDefaultDocumentMode;
    // Digits only: a value that is not a number (which the parser's own conversion would read as 0, "ask for
    // nothing") is no choice at all.
    const size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    if (first == std::string::npos || text.find_first_not_of("0123456789", first) <= last || last - first > 5)
        return kDefaultDocumentMode;
    const int mode = ZoGameBase::TextToInt(text.c_str());
    return IsKnownDocumentMode(mode) ? mode : kDefaultDocumentMode;
}
