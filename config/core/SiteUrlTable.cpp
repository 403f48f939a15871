#include "config/core/SiteUrlTable.h"

#include "config/core/ZoIni.h"

void CSiteUrlTable::Load(const char* text, int length)
{
    ZoGameBase::CZoIni ini;
    ini.LoadBuffer(text, length);
    if (!ini.NextSection())
        return;
    ini.ReadString("Official", Official.Bytes());
    ini.ReadString("Main", Main.Bytes());
    ini.ReadString("Pay", Pay.Bytes());
    ini.ReadString("Exit", Exit.Bytes());
    ini.ReadString("Custome", Custome.Bytes());
    ini.ReadString("Forum", Forum.Bytes());
    ini.ReadString("LoginKey", LoginKey.Bytes());
    ini.ReadString("Regist", Regist.Bytes());
    ini.ReadString("Guide", Guide.Bytes());
    ini.ReadString("LoginKeyPre", LoginKeyPre.Bytes());
}

const CAnsiString& CSiteUrlTable::GetSiteUrl(int kind) const
{
    switch (kind)
    {
    case SiteUrlOfficial:
        return Official;
    case SiteUrlPay:
        return Pay;
    case SiteUrlForum:
        return Forum;
    case SiteUrlCustome:
        return Custome;
    case SiteUrlMain:
        return Main;
    case SiteUrlLoginKey:
        return LoginKey;
    case SiteUrlRegist:
        return Regist;
    case SiteUrlGuide:
        return Guide;
    case SiteUrlLoginKeyPre:
        return LoginKeyPre;
    default:
        return Exit;
    }
}

bool IsNoPageUrl(const CAnsiString& ansi)
{
    static const char kNull[] = "null";
    const char* url = ansi.Ansi();
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

bool IsGameServerUrl(const CAnsiString& address, const CAnsiString& suffix, const CAnsiString& prefix,
                     const CMbcsCodePage& codePage)
{
    CAnsiString folded = address;
    MbcsUpper(folded, codePage);
    CAnsiString foldedSuffix = suffix;
    MbcsUpper(foldedSuffix, codePage);
    if (MbcsFind(folded, foldedSuffix, codePage) == std::string::npos)
        return false;
    CAnsiString foldedPrefix = prefix;
    MbcsUpper(foldedPrefix, codePage);
    return MbcsFind(folded, foldedPrefix, codePage) != std::string::npos;
}
