#include "skin/core/AniFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/core/ZoIni.h"

bool CAniFile::LoadFromText(const char* text)
{
    if (!text)
        return false;
    ZoGameBase::CZoIni ini;
    ini.LoadBuffer(text, static_cast<int>(std::min<size_t>(std::strlen(text), INT32_MAX)));
    m_frames.clear();
    while (ini.NextSection())
    {
        int count = 0;
        ini.ReadInt("FrameAmount", count);
        count = std::min(count, kMaxFrames);
        FrameList frames;
        for (int i = 0; i < count; ++i)
        {
            char key[32];
            std::snprintf(key, sizeof key, "Frame%d", i);
            std::string entry;
            ini.ReadString(key, entry);
            frames.push_back(std::move(entry));
        }
        m_frames[ini.GetSectionName()] = std::move(frames);
    }
    return true;
}

const FrameList* CAniFile::GetFrames(const char* name) const
{
    if (!name)
        return nullptr;
    auto it = m_frames.find(name);
    return it == m_frames.end() ? nullptr : &it->second;
}
