#pragma once

#include "framework/Dialog.h"
#include "skin/MyBitmapButton.h"
#include "webwnd/WebWindowOwner.h"
#include "webwnd/core/WebLayout.h"

// The web window's buttons, an array indexed by WebButton, and the one table that says, for each, its control in the
// window's template, its rectangle in each layout (none: never placed), its pictures in each layout, whether it
// stands on the game window's frame (and so takes its background from the frame's paint) and the site page it
// opens. Which layouts show each is the visibility rule of its kind (webwnd/core/WebLayout.h). The web window owns
// one and asks it for everything about its buttons; the buttons live as long as the window's controls they wrap.
class CWebToolbar
{
public:
    explicit CWebToolbar(CWebWindowOwner& owner) : m_owner(owner) {}

    // Binds every button to its control of the window whose template is being exchanged.
    void Bind(CDataExchange* pDX);
    // Gives every placed button the pictures of a layout (Max: those of the window's state, maximised or not), then
    // moves each to its layout rectangle, measured in window's client area.
    void Layout(CWnd& window, bool game, bool maximised);
    // Shows and hides the buttons by the visibility rule; withExitAndMin: the whole rule, else without the Exit and
    // Min rows.
    void ApplyVisibility(bool game, bool withExitAndMin);
    // Every button that can show (those a layout places) copies the part of dc under it, placed relative to
    // reference's client area.
    void CaptureBackgrounds(CWnd* reference, HDC dc);
    // The same for the buttons on the game window's frame, from the frame's own paint in window's dc.
    void CaptureFrameBackgrounds(CWnd* window, HDC dc);
    // The sound switch's pictures: the speaker with sound waves (on) or crossed out.
    void ShowSound(bool on);
    // The site page a command opens; false for a command that opens none.
    bool SitePage(unsigned id, SiteUrlKind& kind) const;

    CMyBitmapButton& Button(WebButton which) { return m_buttons[static_cast<int>(which)]; }

private:
    CWebWindowOwner& m_owner;
    CMyBitmapButton m_buttons[kWebButtonCount];
};
