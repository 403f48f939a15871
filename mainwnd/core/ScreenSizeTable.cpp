#include "mainwnd/core/ScreenSizeTable.h"

#include <algorithm>
#include <functional>
#include <string>

#include "config/core/ZoIni.h"

namespace
{

// Every entry of the current section as (window size << 16) | screen size, sorted descending.
void ReadSizeTable(ZoGameBase::CZoIni& ini, std::vector<uint32_t>& table)
{
    table.clear();
    const int count = ini.GetEntryCount();
    for (int i = 0; i < count; ++i)
    {
        std::string key, value;
        if (!ini.ReadEntry(i, key, value))
            continue;
        const uint32_t screen = static_cast<uint32_t>(ZoGameBase::TextToInt(key.c_str())) & 0xFFFFu;
        const uint32_t window = static_cast<uint32_t>(ZoGameBase::TextToInt(value.c_str())) & 0xFFFFu;
        table.push_back(window << 16 | screen);
    }
    std::sort(table.begin(), table.end(), std::greater<uint32_t>());
}

} // namespace

void CScreenSizeTables::Load(const char* text, int length)
{
    ZoGameBase::CZoIni ini;
    ini.LoadBuffer(text, length);
    if (ini.FindSection("Width"))
        ReadSizeTable(ini, m_widths);
    if (ini.FindSection("Height"))
        ReadSizeTable(ini, m_heights);
}

int CScreenSizeTables::LookupScreenSize(int size, bool width) const
{
    for (uint32_t entry : width ? m_widths : m_heights)
    {
        if (static_cast<int>(entry & 0xFFFFu) <= size)
            return static_cast<int>(entry >> 16);
    }
    return 0;
}
