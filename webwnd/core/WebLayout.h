#pragma once

#include "config/core/LayoutTable.h"
#include "core/Geometry.h"

// The game web window's geometry: where the window goes in the work area, maximising and restoring, where the
// browser and the buttons go in its client area, which strips around the browser resize the window and with
// which cursor, and which buttons show in which layout. Rectangles are in screen coordinates unless they say
// client.

// Where the window goes for a requested rectangle. In the game layout a minimum rectangle (not all zero) that is
// wider or taller than the request replaces it, position included. The size is then cut to the work area, and the
// window is centred in the work area along an axis where it would stick out: horizontally when it passes the work
// area's left or right edge, vertically when the request's own bottom passes the work area's bottom or its top
// lies above the work area's top.
Rect PlaceWebWindow(const Rect& requested, const Rect& workArea, const Rect& minimum, bool gameLayout);

// Maximising or restoring. nowMaximised is the maximised flag after the toggle; current the window's rectangle,
// restore the restore rectangle held until now. Gives the rectangle to place the window at and the restore
// rectangle from now on.
struct MaximiseToggle
{
    Rect requested;
    Rect restore;
};
MaximiseToggle ToggleMaximisedRects(bool nowMaximised, const Rect& workArea, const Rect& current, const Rect& restore);

// The game window's restore rectangle in a work area, from the window width w and height h the screen-size tables
// give for it. A size of 0 keeps the work area's own size in that dimension; the margin taken from the height shifts
// the rectangle right and down alike.
Rect ComputeRestoreRect(const Rect& workArea, int w, int h);

// A layout rectangle as a rectangle: left x, top y, right x + w, bottom y + h.
Rect RectOfLayout(const LayoutRect& layout);

// A button's rectangle in a client area: x counts from the client area's right edge when Anchor is 1.
Rect ButtonRect(const LayoutRect& layout, const Rect& client);

// The browser's rectangle in a client area whose layout gives its margins: x and y place its top-left corner, w and
// h are the right and bottom margins.
Rect BrowserRect(const LayoutRect& margins, const Rect& client);

// Hit-test codes, as the platform numbers them.
enum HitTestCode
{
    HitDefault = -100, // not decided here: the platform's default processing answers
    HitClient = 1,
    HitCaption = 2,
    HitLeft = 10,
    HitRight = 11,
    HitTop = 12,
    HitTopLeft = 13,
    HitTopRight = 14,
    HitBottom = 15,
    HitBottomLeft = 16,
    HitBottomRight = 17,
};

// The restored game window's resize strips around the browser (screen point, browser rectangle): right and bottom
// edges of the browser count as outside it, the lower-left corner is the left edge, there is no top edge. Level with
// the browser's top or above it, and in every other state than restored game layout, HitDefault.
int WebWindowHitTest(const Point& point, const Rect& browser, bool gameLayout, bool maximised);

enum class CursorShape
{
    Arrow,
    SizeWestEast,
    SizeNorthSouth,
    SizeNorthWestSouthEast,
    SizeNorthEastSouthWest,
};
CursorShape CursorForHitTest(int hitTest);

// The title band: the client area above the browser's top (in client coordinates). A point is in it with the left
// and top edges inside and the right and bottom edges outside.
Rect TitleBand(const Rect& client, int browserTop);
bool Contains(const Rect& rect, const Point& point);

// The buttons of the web window, by what they do.
enum class WebButton
{
    Official,
    Pay,
    Forum,
    Custom,
    Min,
    Exit,
    Regist,
    Max,
    Icon,
    Refresh,
    Clear,
    Volume,
};
constexpr int kWebButtonCount = static_cast<int>(WebButton::Volume) + 1;

enum class Visibility
{
    Show,
    Hide,
    Untouched,
};

// The visibility rule. withExitAndMin: the whole rule (WM_SHOWWINDOW); without it Exit and Min are left as they are
// (placing the window). The volume button is never touched.
Visibility ButtonVisibility(WebButton button, bool gameLayout, bool withExitAndMin);
