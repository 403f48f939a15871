#include "webwnd/core/NavigationWatch.h"

#include <gtest/gtest.h>

namespace
{

const CMbcsCodePage kGbk = CMbcsCodePage::Gbk();

} // namespace

TEST(NavigationWatch, ClassifiesCompletedNavigations)
{
    struct Case
    {
        const char* name;
        const char* address;
        const char* loginKey;
        const char* loginKeyPre;
        PageKind kind;
    } const cases[] = {
        {"prefix, server number and suffix in lower case", "http://s12.game.lumora.example/play.php?id=3",
         ".game.lumora.example", "HTTP://S", PageKind::GamePage},
        {"suffix only", "http://www.game.lumora.example/", ".game.lumora.example", "HTTP://S", PageKind::WebPage},
        {"prefix only", "http://s12.lumora.example/", ".game.lumora.example", "HTTP://S", PageKind::WebPage},
        {"the blank page", "about:blank", ".game.lumora.example", "HTTP://S", PageKind::Nothing},
        {"a local file", "file:///C:/page.html", ".game.lumora.example", "HTTP://S", PageKind::Nothing},
        {"a game server over https", "https://s12.game.lumora.example/", ".game.lumora.example", "HTTP://S",
         PageKind::WebPage},
        {"both keys empty", "about:blank", "", "", PageKind::GamePage},
        {"both strings in the query", "http://www.lumora.example/?u=http://s1&h=.game.lumora.example",
         ".game.lumora.example", "HTTP://S", PageKind::GamePage},
        {"a double-byte character whose trail byte is s, folded as a whole", "http://\xB0sx.game/", ".GAME",
         "http://\xB0s", PageKind::GamePage},
        {"...which is not the letter s", "http://\xB0sx.game/", ".GAME", "SX", PageKind::WebPage},
        // The client's own page for a server that cannot be reached carries the failed address in its own.
        {"the client's own page", "res://C:\\Http\\lumora.exe/offline-en.html#http%3A%2F%2Fs12.game.lumora.example%2F",
         ".game.lumora.example", "HTTP", PageKind::Nothing},
        {"...even where every address is a game page", "RES://x/offline-en.html", "", "", PageKind::Nothing},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CAnsiString address(c.address), loginKey(c.loginKey), loginKeyPre(c.loginKeyPre);
        EXPECT_EQ(c.kind, ClassifyNavigation(address, loginKey, loginKeyPre, kGbk));
    }
}

TEST(NavigationWatch, KeysStayUpperCasedFromTheirFirstComparison)
{
    CAnsiString loginKey(".game.lumora.example"), loginKeyPre("http://s");
    // The suffix is not in this address: only the suffix is folded, the prefix is not even looked at.
    CAnsiString login("http://www.lumora.example/");
    EXPECT_EQ(PageKind::WebPage, ClassifyNavigation(login, loginKey, loginKeyPre, kGbk));
    EXPECT_EQ(".GAME.LUMORA.EXAMPLE", loginKey.Bytes());
    EXPECT_EQ("http://s", loginKeyPre.Bytes());
    EXPECT_EQ("HTTP://WWW.LUMORA.EXAMPLE/", login.Bytes());
    // A game address: now the prefix is folded too, and stays so.
    CAnsiString game("http://s3.game.lumora.example/");
    EXPECT_EQ(PageKind::GamePage, ClassifyNavigation(game, loginKey, loginKeyPre, kGbk));
    EXPECT_EQ("HTTP://S", loginKeyPre.Bytes());
    CAnsiString again("HTTP://S4.GAME.LUMORA.EXAMPLE/");
    EXPECT_EQ(PageKind::GamePage, ClassifyNavigation(again, loginKey, loginKeyPre, kGbk));
}
