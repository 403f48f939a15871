#pragma once

#include <windows.h>

// The web window's own messages, each posted with wParam 0 and lParam 0 to the web window (the tests that drive the
// client from outside post them too).

// Posted by the navigation watch: a navigation completed on a game-server address, or on another web address.
const UINT WM_GAME_PAGE_LOADED = WM_USER + 100;
const UINT WM_WEB_PAGE_LOADED = WM_USER + 101;
// Posted by the web window to itself when a page could not be reached: its own page goes in the page's place.
const UINT WM_SHOW_OFFLINE_PAGE = WM_USER + 102;
