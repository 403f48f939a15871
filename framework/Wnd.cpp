#include "framework/Wnd.h"

#include "framework/LiveCounts.h"
#include "framework/Scoped.h"
#include "framework/Text.h"

namespace
{

// The window property that leads from a subclassed window to its object.
const wchar_t kObjectProperty[] = L"Lumora.CWnd";

} // namespace

CWnd::~CWnd()
{
    // The object goes, the window (if any is still there) stays and gets its own procedure back: no later message
    // reaches the object. Whoever destroys windows should have destroyed this one first; it is said, not hidden.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
    {
        AfxTrace("Lumora: a window object was deleted before its window was destroyed; the window is left alone");
        UnsubclassWindow();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    return hwnd ? static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd))
        return FALSE;
    if (!::SetPropW(hwnd, kObjectProperty, this))
        return FALSE;
    m_hWnd = hwnd;
    AfxCountWindow(1);
    m_pfnSuper =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    if (!hwnd)
        return nullptr;
    if (m_pfnSuper)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::RemovePropW(hwnd, kObjectProperty);
    AfxCountWindow(-1);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    MoveWindow(RECT{x, y, x + width, y + height}, repaint);
}

void CWnd::MoveWindow(const RECT& rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

void CWnd::ScreenToClient(RECT* rect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add)
{
    const DWORD style = GetExStyle();
    const DWORD changed = (style & ~remove) | add;
    if (style == changed)
        return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(changed));
    return TRUE;
}

void CWnd::SetWindowText(const char* utf8)
{
    ::SetWindowTextW(m_hWnd, AfxWide(utf8).c_str());
}

std::string CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, &text[0], length + 1);
    return AfxUtf8(text.c_str());
}

HICON CWnd::SetIcon(HICON icon, BOOL big)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // Notifications from children go to the child's own object first (owner-drawn buttons draw themselves).
    HWND child = nullptr;
    if (msg == WM_DRAWITEM && lParam && reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType != ODT_MENU)
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
    else if (msg == WM_COMMAND && lParam != 0)
        child = reinterpret_cast<HWND>(lParam);
    if (CWnd* control = FromHandlePermanent(child))
    {
        if (control != this && control->OnChildNotify(msg, wParam, lParam, result))
            return true;
    }
    return false;
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

bool CWnd::IsHandlingItsOwnWindow() const
{
    return m_pCurrentMsg && m_hWnd && m_pCurrentMsg->hwnd == m_hWnd;
}

LRESULT CWnd::Default()
{
    if (!IsHandlingItsOwnWindow())
        return 0;
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == AfxLiveCountsMessage())
    {
        const AfxLiveCounts counts = AfxGetLiveCounts();
        const LRESULT answer = wParam == 0 ? counts.gdiObjects : wParam == 1 ? counts.windows : counts.swallowed;
        // Posted with a window to answer: the answer is posted back to it, and so arrives after everything posted to
        // this thread before the question has been handled.
        HWND asker = reinterpret_cast<HWND>(lParam);
        if (asker && !::InSendMessage() && ::IsWindow(asker))
            ::PostMessageW(asker, msg, wParam, answer);
        return answer;
    }
    LRESULT result = 0;
    bool handled = false;
    const bool threw = !AfxCallGuarded([&] { handled = OnWndMsg(msg, wParam, lParam, result); },
                                       "the handler of message 0x%04llX (wParam 0x%llX)", msg, wParam);
    if (!handled && !threw && (!m_pCurrentMsg || IsHandlingItsOwnWindow()))
        result = DefWindowProc(msg, wParam, lParam);
    return result;
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG current = {m_hWnd, msg, wParam, lParam, 0, {0, 0}};
    const MSG* previous = m_pCurrentMsg;
    m_pCurrentMsg = &current;
    const LRESULT result = WindowProc(msg, wParam, lParam);
    m_pCurrentMsg = previous;
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_DESTROY)
    {
        // What lives in the child windows goes while they still exist, after the window's own handler has run.
        const LRESULT result = wnd->Dispatch(msg, wParam, lParam);
        wnd->OnDestroyHandled();
        return result;
    }
    if (msg != WM_NCDESTROY)
        return wnd->Dispatch(msg, wParam, lParam);

    // The last message: the window's own procedure sees it, then the object lets go of the handle.
    const LRESULT result = wnd->Dispatch(msg, wParam, lParam);
    wnd->UnsubclassWindow();
    wnd->PostNcDestroy();
    return result;
}
