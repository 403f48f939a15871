#include "skin/core/AniFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "config/core/ZoIni.h"

namespace
{

// Room for count entries, unless count is beyond the bound or the memory cannot be had.
bool Allocate(FrameList& frames, int count)
{
    if (count > CAniFile::kMaxFrames)
        return false;
    try
    {
        frames.reserve(static_cast<size_t>(count));
        return true;
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

} // namespace

bool CAniFile::LoadFromText(const char* text)
{
    if (!text)
        return false;
    ZoGameBase::CZoIni ini;
    ini.EnableLog(m_bLog);
    ini.LoadBuffer(text, static_cast<int>(std::min<size_t>(std::strlen(text), INT32_MAX)));
    m_frames.clear();
    while (ini.NextSection())
    {
        int count = 0;
        ini.ReadInt("FrameAmount", count);
        FrameList frames;
        if (count > 0 && !Allocate(frames, count))
        {
            ZoGameBase::WriteDebugLog(&ini, "[%s] FrameAmount=%d: no list of that length, the section is left empty",
                                      ini.GetSectionName(), count);
            count = 0;
        }
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
