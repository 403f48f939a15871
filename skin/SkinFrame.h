#pragma once

#include "framework/Surface.h"
#include "skin/MyBitmap.h"

// A window's self-drawn frame: the nine-grid of a frame list over the whole client area, composed for the area's
// size once (premultiplied) and then blended band by band, so that a repaint at the same size only blends. The centre,
// which no piece covers, is left to the window.
class CSkinFrame
{
public:
    // The frame list to draw; what was composed from the list before goes.
    void SetFrames(const FrameList* frames);
    // Blends the frame into dc for a client area of width x height, composing it first when the size changed. False
    // when there is nothing to draw: no frame list, or a piece that cannot be loaded.
    bool Paint(HDC dc, int width, int height);
    // The part of the client area no piece covers (client coordinates), for the size last painted.
    const RECT& Centre() const { return m_centre; }

private:
    void Compose(int width, int height);

    CMyBitmap m_frame;
    CDibSurface m_composed; // the frame at the client area's size, premultiplied
    RECT m_centre = {};
};
