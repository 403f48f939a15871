#include "mainwnd/core/MainLayout.h"

#include <algorithm>

Rect LoginWindowRect(int imageWidth, int imageHeight, int screenWidth, int screenHeight)
{
    const int w = std::min(imageWidth, screenWidth);
    const int h = std::min(imageHeight, screenHeight);
    const int x = (screenWidth - w) / 2;
    const int y = (screenHeight - h) / 2;
    return Rect{x, y, x + w, y + h};
}

Point WebWindowOrigin(const Rect& mainWindow, const LayoutRect* dlgWeb)
{
    Point origin{mainWindow.left, mainWindow.top};
    if (dlgWeb)
    {
        origin.x += dlgWeb->x;
        origin.y += dlgWeb->y;
    }
    return origin;
}
