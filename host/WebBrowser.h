#pragma once

#include "core/AnsiString.h"
#include "framework/ControlWnd.h"

#include <string>

// The platform's WebBrowser control as the web window holds it: a window object bound by data exchange to the
// control of the dialog template, and the two calls the client makes on it, by dispatch identifier. A wrapper that
// is bound to no control does nothing; a call the control fails throws COleDispatchException.
class CWebBrowser : public COleControlWnd
{
public:
    // {8856F961-340A-11D0-A96B-00C04FD705A2}
    static const CLSID kClassId;

    // Dispatch 104: starts loading address (text of the thread's code page, passed as a BSTR); flags, target frame
    // name, post data and headers are passed by reference.
    void Navigate(const CAnsiString& address, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                  VARIANT* headers);
    // The same with an address of any characters (the client's own pages, under the executable's path).
    void Navigate(const std::wstring& address, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                  VARIANT* headers);
    // Dispatch -550: reloads the page.
    void Refresh();
};
