#pragma once

#include <map>
#include <memory>
#include <vector>

#include "framework/Button.h"
#include "framework/Surface.h"
#include "skin/Gdiplus.h"

// A skinned button's three pictures: PNG resource ids, 0 for none.
struct ButtonImages
{
    UINT normal, pressed, hover;
};

// The skin's owner-drawn push button: a normal, a pressed and a hover image (PNG resource ids, 0 for none)
// painted over a copy of the background that the window behind it painted. It follows the mouse itself and
// shows its hover image once the pointer rests on it.
class CMyBitmapButton : public CBitmapButton
{
public:
    CMyBitmapButton() = default;
    ~CMyBitmapButton() override = default;

    // Stores the three ids; the button shows them from its next paint on.
    void SetImages(UINT normal, UINT pressed, UINT hover);
    const ButtonImages& Images() const { return m_images; }
    // Copies what lies under the button from dc, which holds the client area of window as just painted.
    void CaptureBackground(CWnd* window, HDC dc);

    void DrawItem(DRAWITEMSTRUCT* item) override;

    // The image a paint in state itemState (ODS_* flags) would show.
    UINT ChooseImage(UINT itemState) const;
    bool IsHovering() const { return m_bHovering; }

protected:
    void OnMouseMove(UINT flags, POINT point);
    void OnMouseHover(UINT flags, POINT point);
    void OnMouseLeave();
    BOOL OnEraseBkgnd(HDC dc);
    // The window is gone: tracking, hover and the captured background belonged to it.
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    ButtonImages m_images = {};
    bool m_bTracking = false;
    bool m_bHovering = false;
    // The captured background, the size of the client area; empty until the first capture.
    CDibSurface m_background;
    // Where each capture lands first, to be compared with the one kept.
    CDibSurface m_capture;
    // Background and state image composed (client-area pixels, rows top first), by image id; emptied whenever the
    // background or the size changes.
    std::map<UINT, std::vector<uint32_t>> m_composed;
    // The state images, decoded on their first paint (null: the id does not load). The pictures are compiled in
    // and never change, so a paint shows what decoding them again would.
    std::map<UINT, std::unique_ptr<Gdiplus::Bitmap>> m_decoded;
    Gdiplus::Bitmap* Decoded(UINT id);
};
