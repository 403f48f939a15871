#pragma once

#include "framework/Afx.h"

#include <string>

#include "host/WebBrowser.h"

// The address of the client's page for a server that cannot be reached: res://<this executable>/<page>#<failed>, the
// page of the language the window titles are in (string IDS_OFFLINE_PAGE), the failed address percent-encoded in the
// fragment and cut so that the whole address stays within what the browser control takes. Empty when the
// executable's path or the page's name cannot be had.
std::wstring OfflinePageAddress(const std::wstring& failed);

// The switch to the client's own page when the browser's page cannot be reached. The web window hands it the
// browser's NavigateError (of the page itself, not of a frame), and shows the page it keeps once the control has
// left its own navigation.
class COfflinePageSwitch
{
public:
    // When the server of url could not be reached (status), cancels the control's own error page and keeps the
    // address of the client's page in its place: true. False, with nothing cancelled, when the server was reached (its
    // own error page shows), when the address is no text or empty, when it is the client's own page (not tried again
    // and again), or when no cancel flag was given.
    bool Intercept(const VARIANT* url, const VARIANT* status, VARIANT_BOOL* cancel);
    // Navigates browser to the page kept, once, out of the browser's history (going back from the page that works
    // again never lands on it), and shows the browser, which at the login screen may not have shown a page yet.
    void Show(CWebBrowser& browser);

private:
    std::wstring m_page;
};
