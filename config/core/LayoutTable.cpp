#include "config/core/LayoutTable.h"

#include "config/core/ZoIni.h"

void CLayoutTable::Load(const char* text, int length)
{
    ZoGameBase::CZoIni ini;
    ini.LoadBuffer(text, length);
    m_layouts.clear();
    while (ini.NextSection())
    {
        LayoutRect rect;
        ini.ReadInt("x", rect.x);
        ini.ReadInt("y", rect.y);
        ini.ReadInt("w", rect.w);
        ini.ReadInt("h", rect.h);
        ini.ReadInt("Anchor", rect.Anchor);
        m_layouts[ini.GetSectionName()] = rect;
    }
}

const LayoutRect* CLayoutTable::FindLayout(const char* name) const
{
    if (!name)
        return nullptr;
    auto it = m_layouts.find(name);
    return it == m_layouts.end() ? nullptr : &it->second;
}
