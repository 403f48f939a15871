#pragma once

#include "framework/Afx.h"

#include <string>

// The address of the client's page for a server that cannot be reached: res://<this executable>/<page>#<failed>, the
// page of the language the window titles are in (string IDS_OFFLINE_PAGE), the failed address percent-encoded in the
// fragment and cut so that the whole address stays within what the browser control takes. Empty when the
// executable's path or the page's name cannot be had.
std::wstring OfflinePageAddress(const std::wstring& failed);
