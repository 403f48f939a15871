#include "mainwnd/core/SiteUrlTable.h"

#include "config/core/ZoIni.h"

void CSiteUrlTable::Load(const char* text, int length)
{
    ZoGameBase::CZoIni ini;
    ini.LoadBuffer(text, length);
    if (!ini.NextSection())
        return;
    ini.ReadString("Official", Official);
    ini.ReadString("Main", Main);
    ini.ReadString("Pay", Pay);
    ini.ReadString("Exit", Exit);
    ini.ReadString("Custome", Custome);
    ini.ReadString("Forum", Forum);
    ini.ReadString("LoginKey", LoginKey);
    ini.ReadString("Regist", Regist);
    ini.ReadString("Guide", Guide);
    ini.ReadString("LoginKeyPre", LoginKeyPre);
}

const char* CSiteUrlTable::GetSiteUrl(int kind) const
{
    switch (kind)
    {
    case SiteUrlOfficial:
        return Official.c_str();
    case SiteUrlPay:
        return Pay.c_str();
    case SiteUrlForum:
        return Forum.c_str();
    case SiteUrlCustome:
        return Custome.c_str();
    case SiteUrlMain:
        return Main.c_str();
    case SiteUrlLoginKey:
        return LoginKey.c_str();
    case SiteUrlRegist:
        return Regist.c_str();
    case SiteUrlGuide:
        return Guide.c_str();
    case SiteUrlLoginKeyPre:
        return LoginKeyPre.c_str();
    default:
        return Exit.c_str();
    }
}

bool IsNoPageUrl(const char* url)
{
    static const char kNull[] = "null";
    if (!url)
        return false;
    for (int i = 0; i < 4; ++i)
    {
        char c = url[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kNull[i])
            return false;
    }
    return url[4] == '\0';
}

bool IsGameServerUrl(const std::string& address, const std::string& suffix, const std::string& prefix,
                     const CMbcsCodePage& codePage)
{
    std::string folded = address;
    MbcsUpper(folded, codePage);
    std::string foldedSuffix = suffix;
    MbcsUpper(foldedSuffix, codePage);
    if (MbcsFind(folded, foldedSuffix, codePage) == std::string::npos)
        return false;
    std::string foldedPrefix = prefix;
    MbcsUpper(foldedPrefix, codePage);
    return MbcsFind(folded, foldedPrefix, codePage) != std::string::npos;
}
