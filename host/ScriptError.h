#pragma once

#include "framework/Afx.h"

#include <string>

// What the browser control tells of a script error of its page. It hands its host the page's document; the error is
// the document's window's current event: errorMessage, errorLine, errorCharacter and errorUrl, read by name through
// IDispatch. Whatever cannot be read stays empty (0 for the numbers).
struct CScriptError
{
    std::string message; // UTF-8
    std::string url;     // UTF-8
    long line = 0;
    long character = 0;
};
CScriptError ReadScriptError(IUnknown* document);
