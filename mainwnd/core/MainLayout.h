#pragma once

#include "config/core/LayoutTable.h"
#include "core/Geometry.h"

// The main window's geometry.

// Where the login picture goes, and the part of it the login window holds.
struct LoginPlacement
{
    Rect picture; // the whole picture at its own size, in screen coordinates: it may reach past the screen's edges
    Rect window;  // the part of it on the screen, which the login window covers
};

// The login picture keeps its own size, never scaled, centred on the screen (the whole screen, not the work area) with
// the fraction of the halved margins dropped. On a screen lower or narrower than the picture it is moved as little as
// it takes for the panel (panel: the "DlgWeb" layout, the web window's place in the picture) to lie on the screen; a
// panel larger than the screen keeps its left and top edges on it. Without a panel, centred only. The window covers
// the part of the picture on the screen, never more: the rest of the picture is cut by the screen's edges.
LoginPlacement PlaceLoginWindow(int imageWidth, int imageHeight, int screenWidth, int screenHeight,
                                const LayoutRect* panel);

// Where the web window's top-left corner goes in the login mode: the login picture's top-left corner, moved by the
// "DlgWeb" layout's x and y when there is one.
Point WebWindowOrigin(const Rect& picture, const LayoutRect* dlgWeb);
