#pragma once

// Plain geometry for the portable core; the Win32 side converts to RECT/POINT at its edge.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }
};

struct Point
{
    int x = 0;
    int y = 0;
};
