#pragma once

// Configuration documents, type "TEXT".
#define IDR_LAYOUT_DOC 134
#define IDR_SITEURL_DOC 137
#define IDR_ANIMATION_DOC 138
#define IDR_RESOLUTION_DOC 199
// The embedded browser's settings document, also "TEXT".
#define IDR_BROWSER_DOC 200

// The windows' icon.
#define IDI_APP 128

// Dialog templates.
#define IDD_GAME_DIALOG 102
#define IDD_WEB_DIALOG 130

// Controls of the game web window.
#define IDC_BROWSER 1001
#define IDC_BTN_OFFICIAL 1002
#define IDC_BTN_PAY 1003
#define IDC_BTN_FORUM 1004
#define IDC_BTN_CUSTOM 1005
#define IDC_BTN_MIN 1006
#define IDC_BTN_EXIT 1007
#define IDC_BTN_REGIST 1008
#define IDC_BTN_MAX 1009
#define IDC_BTN_ICON 1010
#define IDC_BTN_REFRESH 1012
#define IDC_BTN_CLEAR 1014
#define IDC_BTN_VOLUME 1015

// The settings dialog and its edit boxes.
#define IDD_VOLUME_DIALOG 203
#define IDC_VOLUME_OFF_X 1012
#define IDC_VOLUME_OFF_Y 1013
#define IDC_VOLUME_ON_X 1014
#define IDC_VOLUME_ON_Y 1015

// The page's pop-up menu and its accelerator table, carried but not loaded.
#define IDR_PAGE_MENU 201
#define IDR_PAGE_KEYS 202

// Commands no control of the client issues.
#define ID_PAGE_REFRESH 32777
#define ID_CLEAR_CACHE 32778
#define ID_SETTINGS 32782

// Strings.
#define IDS_APP_TITLE 197
#define IDS_WEB_TITLE 198
// The name of the client's page for a server that cannot be reached (an "HTML" resource), in the titles' language.
#define IDS_OFFLINE_PAGE 220
