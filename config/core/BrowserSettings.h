#pragma once

#include <string>

// The embedded browser's settings document (browser.ini, compiled in like the other documents):
//   [Browser]
//   DocumentMode=11000
// DocumentMode is the Internet Explorer document mode the client asks the browser control for, under its own
// executable's name (FEATURE_BROWSER_EMULATION); 0 asks for nothing, and the control keeps its default (version 7).

// Internet Explorer 11's: standards mode for pages with a DOCTYPE, quirks mode for pages without.
constexpr int kDefaultDocumentMode = 11000;

// Whether mode is 0 or one of the values the browser control knows (7000, 8000, 8888, 9000, 9999, 10000, 10001,
// 11000, 11001).
bool IsKnownDocumentMode(int mode);

// The document's mode; kDefaultDocumentMode when the document, its section or its key is missing, or names a mode
// the control does not know.
int ReadDocumentMode(const std::string& document);
