#pragma once

#include "framework/Wnd.h"

// A push button control.
class CButton : public CWnd
{
};

// An owner-drawn button that paints itself: the parent's WM_DRAWITEM for it comes back to the button as
// DrawItem.
class CBitmapButton : public CButton
{
public:
    virtual void DrawItem(DRAWITEMSTRUCT* item) { (void)item; }

protected:
    bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (msg != WM_DRAWITEM)
            return CButton::OnChildNotify(msg, wParam, lParam, result);
        AfxCallGuarded([&] { DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); }, "drawing control %llu", wParam);
        result = TRUE;
        return true;
    }
};
