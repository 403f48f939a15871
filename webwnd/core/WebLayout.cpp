#include "webwnd/core/WebLayout.h"

#include <algorithm>

namespace
{

bool IsEmptyRect(const Rect& r)
{
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

Rect Offset(const Rect& r, int dx, int dy)
{
    return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

} // namespace

Rect PlaceWebWindow(const Rect& requested, const Rect& workArea, const Rect& minimum, bool gameLayout)
{
    Rect q = requested;
    if (gameLayout && !IsEmptyRect(minimum) &&
        (minimum.Width() > requested.Width() || minimum.Height() > requested.Height()))
        q = minimum;
    const int width = std::min(q.Width(), workArea.Width());
    const int height = std::min(q.Height(), workArea.Height());
    q.right = q.left + width;
    q.bottom = q.top + height;
    int dx = 0;
    if (q.right > workArea.right || q.left < workArea.left)
        dx = (workArea.Width() - width) / 2 + workArea.left - q.left;
    int dy = 0;
    if (requested.bottom > workArea.bottom || q.top < workArea.top)
        dy = (workArea.Height() - height) / 2 + workArea.top - q.top;
    return Offset(q, dx, dy);
}

MaximiseToggle ToggleMaximisedRects(bool nowMaximised, const Rect& workArea, const Rect& current, const Rect& restore)
{
    if (nowMaximised)
        return MaximiseToggle{workArea, current};
    return MaximiseToggle{Offset(restore, current.left, current.top), current};
}

Rect RectOfLayout(const LayoutRect& layout)
{
    return Rect{layout.x, layout.y, layout.x + layout.w, layout.y + layout.h};
}

Rect ButtonRect(const LayoutRect& layout, const Rect& client)
{
    const int left = layout.Anchor == 1 ? client.right - layout.x - client.left : layout.x;
    return Rect{left, layout.y, left + layout.w, layout.y + layout.h};
}

Rect BrowserRect(const LayoutRect& margins, const Rect& client)
{
    const int width = client.right - margins.w - margins.x - client.left;
    const int height = client.bottom - margins.h - margins.y - client.top;
    return Rect{margins.x, margins.y, margins.x + width, margins.y + height};
}

int WebWindowHitTest(const Point& point, const Rect& browser, bool gameLayout, bool maximised)
{
    if (!gameLayout || maximised)
        return HitDefault;
    if (point.x >= browser.right && point.y >= browser.bottom)
        return HitBottomRight;
    if (point.y <= browser.top)
        return HitDefault;
    if (point.x <= browser.left)
        return HitLeft;
    if (point.x >= browser.right)
        return HitRight;
    if (point.y >= browser.bottom)
        return HitBottom;
    return HitClient;
}

CursorShape CursorForHitTest(int hitTest)
{
    switch (hitTest)
    {
    case HitLeft:
    case HitRight:
        return CursorShape::SizeWestEast;
    case HitTop:
    case HitBottom:
        return CursorShape::SizeNorthSouth;
    case HitTopLeft:
    case HitBottomRight:
        return CursorShape::SizeNorthWestSouthEast;
    case HitTopRight:
    case HitBottomLeft:
        return CursorShape::SizeNorthEastSouthWest;
    default:
        return CursorShape::Arrow;
    }
}

Rect TitleBand(const Rect& client, int browserTop)
{
    Rect band = client;
    band.bottom = browserTop;
    return band;
}

bool Contains(const Rect& rect, const Point& point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

Visibility ButtonVisibility(WebButton button, bool gameLayout, bool withExitAndMin)
{
    switch (button)
    {
    case WebButton::Official:
    case WebButton::Pay:
    case WebButton::Forum:
    case WebButton::Custom:
        return Visibility::Show;
    case WebButton::Exit:
    case WebButton::Min:
        return withExitAndMin ? Visibility::Show : Visibility::Untouched;
    case WebButton::Regist:
        return Visibility::Hide;
    case WebButton::Max:
    case WebButton::Icon:
    case WebButton::Refresh:
    case WebButton::Clear:
        return gameLayout ? Visibility::Show : Visibility::Hide;
    case WebButton::Volume:
        break;
    }
    return Visibility::Untouched;
}

Rect ComputeRestoreRect(const Rect& workArea, int w, int h)
{
    Rect rect = workArea;
    if (w != 0)
        rect.right = workArea.left + w;
    int margin = 0;
    if (h != 0)
    {
        margin = (workArea.Height() - h) / 2;
        rect.bottom = workArea.top + h;
    }
    rect.left += margin;
    rect.right += margin;
    rect.top += margin;
    rect.bottom += margin;
    return rect;
}
