#pragma once

// Deletes every entry of the platform's URL cache that the embedded browser fills (pages, scripts, the Flash movie
// and its files), so that the next load fetches everything again. Cookies and history stay. Runs on the calling
// thread until it is done; tells nobody anything.
void ClearBrowserCache();
