#include "webwnd/core/NavigationWatch.h"

#include <string>

#include "config/core/SiteUrlTable.h"
#include "webwnd/core/OfflinePage.h"

PageKind ClassifyNavigation(CAnsiString& address, CAnsiString& loginKey, CAnsiString& loginKeyPre,
                            const CMbcsCodePage& codePage)
{
    // The client's own pages (its page for a server that cannot be reached, whose address carries the failed one)
    // are no page of the site, whatever they hold.
    if (IsOwnPageAddress(address.Bytes()))
        return PageKind::Nothing;
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
