#pragma once

#include <string>

#include "core/AnsiString.h"
#include "core/MbcsText.h"

// The numbers by which the site addresses are asked for; 4, 5 and every number outside 0..10 mean Exit.
enum SiteUrlKind
{
    SiteUrlOfficial = 0,
    SiteUrlPay = 1,
    SiteUrlForum = 2,
    SiteUrlCustome = 3,
    SiteUrlExit = 4,
    SiteUrlExit2 = 5,
    SiteUrlMain = 6,
    SiteUrlLoginKey = 7,
    SiteUrlRegist = 8,
    SiteUrlGuide = 9,
    SiteUrlLoginKeyPre = 10,
};

// The addresses of the site-address document, text of the thread's code page. Entries stay empty where the
// document has no value.
class CSiteUrlTable
{
public:
    // Reads the first section of the document, whatever its name.
    void Load(const char* text, int length);
    // The entry of a kind; never null, valid while the table lives.
    const CAnsiString& GetSiteUrl(int kind) const;

    CAnsiString Official;
    CAnsiString Pay;
    CAnsiString Forum;
    CAnsiString Custome;
    CAnsiString Exit;
    CAnsiString Main;
    CAnsiString LoginKey;
    CAnsiString Regist;
    CAnsiString Guide;
    CAnsiString LoginKeyPre;
};

// True when an address means "no page": "null" in any letter case.
bool IsNoPageUrl(const CAnsiString& url);

// The game-server test on an address already in the narrow code page: both the suffix and the prefix occur
// somewhere in it, all three folded to upper case by the code page's rules.
bool IsGameServerUrl(const CAnsiString& address, const CAnsiString& suffix, const CAnsiString& prefix,
                     const CMbcsCodePage& codePage);
