#pragma once

#include "core/Geometry.h"
#include "framework/Afx.h"

// The core's plain geometry at the Win32 edge.
inline Rect ToRect(const RECT& r)
{
    return Rect{r.left, r.top, r.right, r.bottom};
}

inline RECT ToRECT(const Rect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

inline Point ToPoint(const POINT& p)
{
    return Point{p.x, p.y};
}

// The primary display's work area: the screen without the task bar, in screen coordinates.
inline RECT AfxGetWorkArea()
{
    RECT work = {};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        work = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return work;
}
