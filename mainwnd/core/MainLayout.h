#pragma once

#include "config/core/LayoutTable.h"
#include "core/Geometry.h"

// The main window's geometry.

// The login window: the background picture's size, cut to the screen (the whole screen, not the work area), centred
// on the screen with the fraction of the halved margins dropped.
Rect LoginWindowRect(int imageWidth, int imageHeight, int screenWidth, int screenHeight);

// Where the web window's top-left corner goes in the login mode: the main window's top-left corner, moved by the
// "DlgWeb" layout's x and y when there is one.
Point WebWindowOrigin(const Rect& mainWindow, const LayoutRect* dlgWeb);
