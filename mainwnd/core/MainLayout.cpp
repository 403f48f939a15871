#include "mainwnd/core/MainLayout.h"

#include <algorithm>

namespace
{

// One axis: the picture centred on the screen, then moved as little as it takes for the panel (at offset, of length
// size in the picture) to lie on the screen, its near edge first when it cannot lie there whole.
int PlaceAxis(int image, int screen, int offset, int size)
{
    const int centred = (screen - image) / 2;
    return std::max(std::min(centred, screen - offset - size), -offset);
}

} // namespace

LoginPlacement PlaceLoginWindow(int imageWidth, int imageHeight, int screenWidth, int screenHeight,
                                const LayoutRect* panel)
{
    const int x = panel ? PlaceAxis(imageWidth, screenWidth, panel->x, panel->w) : (screenWidth - imageWidth) / 2;
    const int y = panel ? PlaceAxis(imageHeight, screenHeight, panel->y, panel->h) : (screenHeight - imageHeight) / 2;
    LoginPlacement place;
    place.picture = Rect{x, y, x + imageWidth, y + imageHeight};
    place.window = Rect{std::max(x, 0), std::max(y, 0), std::min(x + imageWidth, screenWidth),
                        std::min(y + imageHeight, screenHeight)};
    return place;
}

Point WebWindowOrigin(const Rect& picture, const LayoutRect* dlgWeb)
{
    Point origin{picture.left, picture.top};
    if (dlgWeb)
    {
        origin.x += dlgWeb->x;
        origin.y += dlgWeb->y;
    }
    return origin;
}
