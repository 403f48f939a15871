#pragma once

#include "core/AnsiString.h"
#include "framework/Afx.h"
#include "framework/Guard.h"

#include <string>

#include <windowsx.h>
#undef SubclassWindow // windowsx.h makes it a macro; here it is the member below

// A window object. It holds the handle only; destroying the object never destroys a window it did not create
// through DestroyWindow. A window whose messages should reach the object's message map is subclassed:
// the object is found from the window through a window property, set when the window is attached and
// removed at WM_NCDESTROY, when the object lets go of the handle.
//
// An object can outlive its window and take a new one (a dialog created again from its template, even from inside
// one of its own handlers): whatever belongs to one window (hosted controls, hover state, captured pictures, the
// template) is let go when that window goes, in PostNcDestroy and the WM_DESTROY teardown, so the next window
// starts fresh. A handler that destroys its own window gets no default processing for its message afterwards, and
// nothing of the old window reaches the new one.
class CWnd
{
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object whose message map a window's messages go through, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Routes the window's messages through this object's message map until the window is destroyed.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL DestroyWindow();
    BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void ScreenToClient(RECT* rect) const;
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyleEx(DWORD remove, DWORD add);
    void SetWindowText(const char* utf8);
    std::string GetWindowText() const;               // UTF-8
    void SetWindowText(const CAnsiString&) = delete; // window text is UTF-8: convert code-page text first
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HICON SetIcon(HICON icon, BOOL big);
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Message processing: the map, then the window's own procedure for what the map leaves.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // A keyboard message on its way to this window or to one of its children (see AfxPumpMessage); true when it
    // was taken. Here: nothing is.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }

protected:
    // Filled by the message map macros; true when a handler took the message.
    virtual bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The window's own procedure (the one it had before it was subclassed).
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled, as if the map had not taken it.
    LRESULT Default();
    // A child's notification (WM_DRAWITEM, WM_COMMAND, ...) offered to the child's own object first.
    virtual bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After WM_DESTROY has gone through the message map, while the window and its children still exist: the place to
    // let go of what lives in the child windows.
    virtual void OnDestroyHandled() {}
    // After WM_NCDESTROY, when the handle has been let go: the place to let go of per-window state.
    virtual void PostNcDestroy() {}

    // Handlers the message map macros call; each of these defaults to the default processing.
    void OnPaint() { Default(); }
    void OnLButtonDown(UINT, POINT) { Default(); }
    void OnLButtonUp(UINT, POINT) { Default(); }
    void OnLButtonDblClk(UINT, POINT) { Default(); }
    void OnMouseMove(UINT, POINT) { Default(); }
    void OnMouseHover(UINT, POINT) { Default(); }
    void OnMouseLeave() { Default(); }
    void OnMove(int, int) { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    BOOL OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
    LRESULT OnNcHitTest(POINT) { return Default(); }
    BOOL OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
    HBRUSH OnCtlColor(HDC, HWND, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

    WNDPROC m_pfnSuper = nullptr;

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    // Whether the message being handled is for the window the object has now.
    bool IsHandlingItsOwnWindow() const;

    const MSG* m_pCurrentMsg = nullptr;
};

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Message maps. In the class: DECLARE_MESSAGE_MAP(); in the source file:
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_COMMAND(1002, OnOfficial)
//       ON_MESSAGE(WM_GAME_PAGE_LOADED, OnGamePageLoaded)
//   END_MESSAGE_MAP()
// Entries are tried in order; what no entry takes goes on to the base class's map.
#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    bool theClass::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult)                              \
    {                                                                                                                  \
        typedef baseClass TheBaseClass;                                                                                \
        (void)wParam;                                                                                                  \
        (void)lParam;

#define END_MESSAGE_MAP()                                                                                              \
    return TheBaseClass::OnWndMsg(message, wParam, lParam, lResult);                                                   \
    }

#define AFX_POINT_FROM_LPARAM()                                                                                        \
    POINT                                                                                                              \
    {                                                                                                                  \
        GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)                                                                     \
    }

#define ON_MESSAGE(msg, memberFxn)                                                                                     \
    if (message == (msg))                                                                                              \
    {                                                                                                                  \
        lResult = memberFxn(wParam, lParam);                                                                           \
        return true;                                                                                                   \
    }
// A command from a menu, an accelerator or a button click.
#define ON_COMMAND(id, memberFxn)                                                                                      \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) <= 1)                                        \
    {                                                                                                                  \
        memberFxn();                                                                                                   \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
    }
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
// Commands first to last, each to a handler that takes the command's id and says whether it took the command
// (bool memberFxn(UINT id)); what it leaves goes on to the entries after it.
#define ON_COMMAND_EX_RANGE(first, last, memberFxn)                                                                    \
    if (message == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last) && HIWORD(wParam) <= 1 &&      \
        memberFxn(LOWORD(wParam)))                                                                                     \
    {                                                                                                                  \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
    }
#define AFX_ON_VOID(msg, call)                                                                                         \
    if (message == (msg))                                                                                              \
    {                                                                                                                  \
        call;                                                                                                          \
        lResult = 0;                                                                                                   \
        return true;                                                                                                   \
    }
// A handler with a result; onThrow is the result of a handler that throws (the guard swallows it), the one that
// leaves the window working: a hit test answers HTCLIENT, an erase or a cursor counts as done.
#define AFX_ON_RESULT(msg, call, onThrow)                                                                              \
    if (message == (msg))                                                                                              \
    {                                                                                                                  \
        lResult = (LRESULT)(onThrow);                                                                                  \
        lResult = (LRESULT)(call);                                                                                     \
        return true;                                                                                                   \
    }
#define ON_WM_PAINT() AFX_ON_VOID(WM_PAINT, OnPaint())
#define ON_WM_LBUTTONDOWN() AFX_ON_VOID(WM_LBUTTONDOWN, OnLButtonDown((UINT)wParam, AFX_POINT_FROM_LPARAM()))
#define ON_WM_LBUTTONUP() AFX_ON_VOID(WM_LBUTTONUP, OnLButtonUp((UINT)wParam, AFX_POINT_FROM_LPARAM()))
#define ON_WM_LBUTTONDBLCLK() AFX_ON_VOID(WM_LBUTTONDBLCLK, OnLButtonDblClk((UINT)wParam, AFX_POINT_FROM_LPARAM()))
#define ON_WM_MOUSEMOVE() AFX_ON_VOID(WM_MOUSEMOVE, OnMouseMove((UINT)wParam, AFX_POINT_FROM_LPARAM()))
#define ON_WM_MOUSEHOVER() AFX_ON_VOID(WM_MOUSEHOVER, OnMouseHover((UINT)wParam, AFX_POINT_FROM_LPARAM()))
#define ON_WM_MOUSELEAVE() AFX_ON_VOID(WM_MOUSELEAVE, OnMouseLeave())
#define ON_WM_MOVE() AFX_ON_VOID(WM_MOVE, OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
#define ON_WM_SIZE() AFX_ON_VOID(WM_SIZE, OnSize((UINT)wParam, LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_SHOWWINDOW() AFX_ON_VOID(WM_SHOWWINDOW, OnShowWindow((BOOL)wParam, (UINT)lParam))
#define ON_WM_GETMINMAXINFO() AFX_ON_VOID(WM_GETMINMAXINFO, OnGetMinMaxInfo((MINMAXINFO*)lParam))
#define ON_WM_DESTROY() AFX_ON_VOID(WM_DESTROY, OnDestroy())
#define ON_WM_CLOSE() AFX_ON_VOID(WM_CLOSE, OnClose())
#define ON_WM_ERASEBKGND() AFX_ON_RESULT(WM_ERASEBKGND, OnEraseBkgnd((HDC)wParam), TRUE)
#define ON_WM_NCHITTEST() AFX_ON_RESULT(WM_NCHITTEST, OnNcHitTest(AFX_POINT_FROM_LPARAM()), HTCLIENT)
#define ON_WM_SETCURSOR() AFX_ON_RESULT(WM_SETCURSOR, OnSetCursor((HWND)wParam, LOWORD(lParam), HIWORD(lParam)), TRUE)
// Every WM_CTLCOLOR* message; the third argument tells which kind of control asks.
#define ON_WM_CTLCOLOR()                                                                                               \
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)                                                  \
    {                                                                                                                  \
        lResult = (LRESULT)OnCtlColor((HDC)wParam, (HWND)lParam, message - WM_CTLCOLORMSGBOX);                         \
        return true;                                                                                                   \
    }
