#pragma once

// Configuration documents, type "TEXT".
#define IDR_LAYOUT_DOC 134
#define IDR_SITEURL_DOC 137
#define IDR_ANIMATION_DOC 138
#define IDR_RESOLUTION_DOC 199

// Dialog templates.
#define IDD_GAME_DIALOG 102

// Strings.
#define IDS_APP_TITLE 197
#define IDS_WEB_TITLE 198
