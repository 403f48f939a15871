#include "webwnd/core/NavigationWatch.h"

#include <string>

PageKind ClassifyNavigation(CAnsiString& address, CAnsiString& loginKey, CAnsiString& loginKeyPre,
                            const CMbcsCodePage& codePage)
{
    MbcsUpper(address, codePage);
    MbcsUpper(loginKey, codePage);
    if (MbcsFind(address, loginKey, codePage) != std::string::npos)
    {
        MbcsUpper(loginKeyPre, codePage);
        if (MbcsFind(address, loginKeyPre, codePage) != std::string::npos)
            return PageKind::GamePage;
    }
    return MbcsFind(address, CAnsiString("HTTP"), codePage) != std::string::npos ? PageKind::WebPage
                                                                                 : PageKind::Nothing;
}
