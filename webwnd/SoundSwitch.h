#pragma once

#include "framework/Afx.h"

// The sound switch's click on the game's Flash movie, three window levels below the browser's window: a press and a
// release at point (the movie's own coordinates, as the settings dialog sets them). Nothing without such a movie.
void ClickGameMovie(HWND browser, POINT point);
