#include "webwnd/core/NavigationWatch.h"

#include <string>

#include "mainwnd/core/SiteUrlTable.h"

PageKind ClassifyNavigation(CAnsiString& address, CAnsiString& loginKey, CAnsiString& loginKeyPre,
                            const CMbcsCodePage& codePage)
{
    // The web window keeps its keys folded from their first comparison on: the suffix at once, the prefix once an
    // address held the suffix. The decision itself is the game-server test's.
    MbcsUpper(address, codePage);
    MbcsUpper(loginKey, codePage);
    if (MbcsFind(address, loginKey, codePage) != std::string::npos)
        MbcsUpper(loginKeyPre, codePage);
    if (IsGameServerUrl(address, loginKey, loginKeyPre, codePage))
        return PageKind::GamePage;
    return MbcsFind(address, CAnsiString("HTTP"), codePage) != std::string::npos ? PageKind::WebPage
                                                                                 : PageKind::Nothing;
}
