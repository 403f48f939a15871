#pragma once

#include "core/AnsiString.h"
#include "core/MbcsText.h"

// What a completed navigation means for the web window.
enum class PageKind
{
    GamePage, // a game-server address: the client turns into the game window
    WebPage,  // another web address: back to the login screen (or, there, the browser shows)
    Nothing,  // neither (the blank page, local files, resources)
};

// Classifies an address already converted to the thread's code page. The address is folded to upper case in place;
// so is the suffix (loginKey), and the prefix (loginKeyPre) once the suffix was found: the web window keeps its two
// fields folded from their first comparison on. A game page is what the game-server test (IsGameServerUrl) says it
// is; a web page holds "HTTP" anywhere; an empty key occurs in every address. The client's own pages (res:) are
// neither, and are not folded.
PageKind ClassifyNavigation(CAnsiString& address, CAnsiString& loginKey, CAnsiString& loginKeyPre,
                            const CMbcsCodePage& codePage);
