#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Surface.h"
#include "skin/MyBitmap.h"

// A window's self-drawn frame: the nine-grid of a frame list over the whole client area. Only what its pieces cover
// is composed and kept, band by band (the title band, the bottom band and the two edges between them), premultiplied,
// for the area's size; a repaint at the same size only blends the bands. The centre, which no piece covers, is left
// to the window, and costs nothing.
class CSkinFrame
{
public:
    // The frame list to draw; what was composed from the list before goes.
    void SetFrames(const FrameList* frames);
    // Blends the frame into dc for a client area of width x height, composing its bands first when the size changed.
    // False when there is nothing to draw: no frame list, or a piece that cannot be loaded.
    bool Paint(HDC dc, int width, int height);
    // The window's title (UTF-8) in white over the frame, from at (client coordinates), with no box behind it.
    static void PaintTitle(HDC dc, POINT at, const std::string& title);
    // The part of the client area no piece covers (client coordinates), for the size last painted.
    const RECT& Centre() const { return m_centre; }

private:
    struct CBand
    {
        RECT place; // in the client area
        std::unique_ptr<CDibSurface> pixels;
        bool opaque; // every pixel opaque: copied rather than blended, to the same pixels
    };
    void Compose(int width, int height);

    CMyBitmap m_frame;
    std::vector<CBand> m_bands;
    SIZE m_size = {-1, -1}; // the client area the bands were composed for
    RECT m_centre = {};
};
