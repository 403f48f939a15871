// Feeds arbitrary bytes through the parser and every reader built on it: each section, each key of every
// entry, each entry by position, lookups by section prefix, and the document readers of the client.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/core/LayoutTable.h"
#include "config/core/SiteUrlTable.h"
#include "config/core/ZoIni.h"
#include "mainwnd/core/ScreenSizeTable.h"
#include "skin/core/AniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const int length = static_cast<int>(size);

    std::string lastSection;
    long long announcedFrames = 0;
    {
        ZoGameBase::CZoIni ini;
        ini.LoadBuffer(text, length);
        while (ini.NextSection())
        {
            lastSection = ini.GetSectionName();
            int amount = 0;
            if (ini.ReadInt("FrameAmount", amount) && amount > 0)
                announcedFrames += amount;
            for (int i = -1; i <= ini.GetEntryCount(); ++i)
            {
                std::string key, value;
                if (!ini.ReadEntry(i, key, value))
                    continue;
                std::string s;
                int n = 0;
                ini.ReadString(key.c_str(), s);
                ini.ReadInt(key.c_str(), n);
            }
        }
    }
    {
        ZoGameBase::CZoIni ini;
        ini.LoadBuffer(text, length);
        ini.FindSection(lastSection.c_str());
        ini.FindSection("Height");
        std::string s;
        ini.ReadString("x", s);
    }

    CLayoutTable layouts;
    layouts.Load(text, length);
    CScreenSizeTables sizes;
    sizes.Load(text, length);
    sizes.LookupScreenSize(1024, true);
    sizes.LookupScreenSize(768, false);
    CSiteUrlTable urls;
    urls.Load(text, length);
    IsGameServerUrl(urls.Main, urls.LoginKey, urls.LoginKeyPre, CMbcsCodePage::Gbk());
    IsNoPageUrl(urls.GetSiteUrl(4));

    // Frame lists are made as long as their documents announce (up to a million entries each), as they must be;
    // a few bytes can announce gigabytes that way, which the fuzzer would report as running out of memory.
    // Such documents are left out here: they cost memory and time, and nothing else.
    if (announcedFrames <= 2 * CAniFile::kMaxFrames)
    {
        CAniFile ani;
        const std::string zeroTerminated(text, size);
        ani.LoadFromText(zeroTerminated.c_str());
        ani.GetFrames(lastSection.c_str());
    }
    return 0;
}
