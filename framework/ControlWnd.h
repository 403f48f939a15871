#pragma once

#include "framework/Dispatch.h"
#include "framework/Wnd.h"

class COleControlSite;

// A window object that stands for an ActiveX control a dialog hosts. Data exchange binds it to the control's site,
// whose window it then holds (it does not subclass it: the control's messages stay the control's). It calls the
// control's dispatch interface by identifier, and moves the control through its in-place object. A wrapper bound to
// no control does nothing.
class COleControlWnd : public CWnd
{
public:
    COleControlWnd() = default;
    ~COleControlWnd() override;

    // The site of the control this object stands for, or null.
    COleControlSite* ControlSite() const { return m_pCtrlSite; }
    // Whether object is this window's control itself (COM identity: the same object answers IUnknown with the same
    // pointer), not another object such as a frame of a browser's page; false without a control.
    bool IsControlObject(IUnknown* object) const;

    // Calls method or property dispid of the control, with args in the order given (see CDispArg for the types).
    // vtRet: VT_EMPTY for no result; VT_I4 (long), VT_BSTR (BSTR, the caller frees it) or VT_VARIANT (a VARIANT the
    // caller clears) stored at pvRet. Does nothing when the object stands for no control; throws
    // COleDispatchException when the call fails.
    template <class... Args>
    void InvokeHelper(DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, const Args&... args)
    {
        CDispArg packed[] = {CDispArg(args)..., CDispArg()};
        InvokeHelperV(dispid, flags, vtRet, pvRet, packed, sizeof...(Args));
    }
    void InvokeHelperV(DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, CDispArg* args, UINT count);

    // Moves the control (client coordinates of its dialog) through its site, so that it resizes what it shows inside
    // its window too.
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE);

private:
    // The one place where a site and its window object meet: the site attaches the object to itself and its window,
    // and detaches it when the control goes or another object takes its place.
    friend class COleControlSite;
    void AttachSite(COleControlSite* site, HWND hwnd);
    void DetachSite();

    COleControlSite* m_pCtrlSite = nullptr;
};
