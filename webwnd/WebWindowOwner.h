#pragma once

#include "config/core/LayoutTable.h"
#include "config/core/SiteUrlTable.h"
#include "core/Geometry.h"
#include "skin/core/AniFile.h"

// What the game web window asks of the window that owns it, and what it tells it, in the core's terms: the tables
// read at start-up, the site pages, and the switches between the login screen and the game. The owner outlives
// every window the web window object makes.
class CWebWindowOwner
{
public:
    // The layout rectangle of a section of the layout document, or null.
    virtual const LayoutRect* FindLayout(const char* name) const = 0;
    // The window width (width true) or height for a work-area size; 0 when no entry holds for it.
    virtual int LookupScreenSize(int size, bool width) const = 0;
    // The frame list of a section of the animation document, or null.
    virtual const FrameList* Frames(const char* section) const = 0;
    // Opens the site page of a kind in the user's own web browser.
    virtual void OpenSitePage(SiteUrlKind kind) const = 0;

    // A completed navigation reached a game server: the client turns into the game window.
    virtual void GamePageReached() = 0;
    // The game window's browser reached another web address: back to the login screen, which destroys the web
    // window and makes it anew before this returns.
    virtual void WebPageReachedInGame() = 0;
    // The game window moved: its window rectangle, in screen coordinates.
    virtual void WebWindowMoved(const Rect& window) = 0;
    // The Min and Exit commands: the client minimised, or ended.
    virtual void Minimise() = 0;
    virtual void Leave() = 0;

protected:
    ~CWebWindowOwner() = default;
};
