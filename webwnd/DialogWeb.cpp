#include "webwnd/DialogWeb.h"

#include <exdisp.h>
#include <exdispid.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "framework/Dc.h"
#include "framework/Guard.h"
#include "framework/MessageBox.h"
#include "framework/Rects.h"
#include "framework/Text.h"
#include "res/resource.h"
#include "webwnd/ClearBrowserCache.h"
#include "webwnd/OfflinePage.h"
#include "webwnd/SoundSwitch.h"
#include "webwnd/core/NavigationWatch.h"
#include "webwnd/core/OfflinePage.h"

namespace
{

// The system cursor of each CursorShape, in the order of the enumeration.
const LPCSTR kCursors[] = {IDC_ARROW, IDC_SIZEWE, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZENESW};

} // namespace

CDialogWeb::CDialogWeb(CWebWindowOwner& owner, WebAddresses addresses)
    : CDialog(IDD), m_owner(owner), m_addresses(std::move(addresses))
{
}

CDialogWeb::~CDialogWeb() = default;

BEGIN_MESSAGE_MAP(CDialogWeb, CDialog)
ON_MESSAGE(WM_GAME_PAGE_LOADED, OnGamePageLoaded)
ON_MESSAGE(WM_WEB_PAGE_LOADED, OnWebPageLoaded)
ON_MESSAGE(WM_SHOW_OFFLINE_PAGE, OnShowOfflinePage)
ON_WM_SIZE()
ON_WM_MOVE()
ON_WM_SHOWWINDOW()
ON_WM_GETMINMAXINFO()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
ON_WM_NCHITTEST()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_BN_CLICKED(IDC_BTN_MIN, OnMin)
ON_BN_CLICKED(IDC_BTN_EXIT, OnExit)
ON_COMMAND_EX_RANGE(IDC_BTN_OFFICIAL, IDC_BTN_REGIST, OnSitePage)
ON_BN_CLICKED(IDC_BTN_MAX, OnMax)
ON_BN_CLICKED(IDC_BTN_REFRESH, OnRefresh)
ON_BN_CLICKED(IDC_BTN_CLEAR, OnClear)
ON_BN_CLICKED(IDC_BTN_VOLUME, OnVolume)
ON_COMMAND(ID_PAGE_REFRESH, OnRefresh)
ON_COMMAND(ID_CLEAR_CACHE, OnClear)
ON_COMMAND(ID_SETTINGS, OnSettings)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CDialogWeb, CDialog)
ON_EVENT(CDialogWeb, IDC_BROWSER, DISPID_BEFORENAVIGATE2, OnBeforeNavigate2,
         VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
ON_EVENT(CDialogWeb, IDC_BROWSER, DISPID_NAVIGATECOMPLETE2, OnNavigateComplete2, VTS_DISPATCH VTS_PVARIANT)
ON_EVENT(CDialogWeb, IDC_BROWSER, DISPID_NAVIGATEERROR, OnNavigateError,
         VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
END_EVENTSINK_MAP()

void CDialogWeb::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    m_toolbar.Bind(pDX);
    // Last: when the browser's control could not be made, its binding fails and ends the exchange, and every button
    // must be bound by then. The browser area then stays empty.
    DDX_Control(pDX, IDC_BROWSER, m_browser);
}

BOOL CDialogWeb::OnInitDialog()
{
    // The framework's guard ends the initialisation at a step that throws; the window is made all the same.
    CDialog::OnInitDialog();
    SetWindowText("Web");
    m_strTitle = AfxLoadString(IDS_WEB_TITLE);
    m_bGameLayout = false;
    m_bMaximised = true;
    m_bSoundOn = true;
    m_ptSoundOn = POINT{-1, -2};
    m_ptSoundOff = POINT{-1, -1};
    if (const LayoutRect* minimum = m_owner.FindLayout("DlgWeb_Min"))
        m_rcMin = ToRECT(RectOfLayout(*minimum));

    const Rect work = ToRect(AfxGetWorkArea());
    const int w = m_owner.LookupScreenSize(work.Width(), true);
    const int h = m_owner.LookupScreenSize(work.Height(), false);
    m_rcRestore = ToRECT(ComputeRestoreRect(work, w, h));

    if (const LayoutRect* place = m_owner.FindLayout("DlgWeb"))
        MoveWindow(place->x, place->y, place->w, place->h, TRUE);
    // A control that refuses the start address leaves an empty browser, nothing more: the rest of the initialisation
    // (the layered style, the key, the frame) still runs, and the refusal is traced and counted as any swallowed one.
    if (!m_addresses.start.Empty())
    {
        VARIANT empty;
        ::VariantInit(&empty);
        AfxCallGuarded([&] { m_browser.Navigate(m_addresses.start, &empty, &empty, &empty, &empty); },
                       "the start navigation");
    }
    m_toolbar.Layout(*this, false, m_bMaximised);
    m_frame.SetFrames(m_owner.Frames("Toolbar"));

    m_crKey = RGB(0, 0, 255);
    ApplyLayeredStyle();
    ModifyStyleEx(WS_EX_APPWINDOW, 0);
    return TRUE;
}

void CDialogWeb::SetGameLayout(bool game)
{
    if (game == m_bGameLayout)
        return;
    m_bGameLayout = game;
    ApplyLayeredStyle();
    // A session the site still knows may reach the game before any ordinary page has shown the browser.
    if (game && ::IsWindow(m_browser.m_hWnd) && !m_browser.IsWindowVisible())
        m_browser.ShowWindow(SW_SHOW);
    PlaceWindow(AfxGetWorkArea()); // the game window starts maximised
    Invalidate(TRUE);
}

void CDialogWeb::ApplyLayeredStyle()
{
    // Set or cleared, never flipped: the style must follow the layout whatever it was before.
    if (m_bGameLayout)
    {
        ModifyStyleEx(WS_EX_LAYERED, 0); // the game window is drawn opaque
        return;
    }
    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, m_crKey, 0, LWA_COLORKEY);
}

void CDialogWeb::PlaceWindow(const RECT& requested)
{
    const Rect placed = PlaceWebWindow(ToRect(requested), ToRect(AfxGetWorkArea()), ToRect(m_rcMin), m_bGameLayout);
    MoveWindow(placed.left, placed.top, placed.Width(), placed.Height(), TRUE);
    m_toolbar.ApplyVisibility(m_bGameLayout, false);
}

void CDialogWeb::ToggleMaximised()
{
    m_bMaximised = !m_bMaximised;
    RECT current;
    GetWindowRect(&current);
    const MaximiseToggle toggle =
        ToggleMaximisedRects(m_bMaximised, ToRect(AfxGetWorkArea()), ToRect(current), ToRect(m_rcRestore));
    m_rcRestore = ToRECT(toggle.restore);
    PlaceWindow(ToRECT(toggle.requested));
    m_toolbar.Layout(*this, m_bGameLayout, m_bMaximised);
    Invalidate(TRUE);
}

// ---- messages ----

LRESULT CDialogWeb::OnWebPageLoaded(WPARAM, LPARAM)
{
    if (m_bGameLayout)
    {
        // Destroys this window and makes the next one on this object: nothing below may use the old window.
        m_owner.WebPageReachedInGame();
        return 0;
    }
    if (::IsWindow(m_browser.m_hWnd) && !m_browser.IsWindowVisible())
        m_browser.ShowWindow(SW_SHOW);
    return 0;
}

void CDialogWeb::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    m_toolbar.Layout(*this, m_bGameLayout, m_bMaximised);
    RECT client;
    GetClientRect(&client);
    const LayoutRect* margins = m_owner.FindLayout(m_bGameLayout ? "WebCtrl_L" : "WebCtrl");
    if (!margins || !::IsWindow(m_browser.m_hWnd))
        return;
    const Rect browser = BrowserRect(*margins, ToRect(client));
    m_browser.MoveWindow(browser.left, browser.top, browser.Width(), browser.Height(), TRUE);
    const RECT band = {0, 0, client.right, margins->y};
    InvalidateRect(&band, TRUE);
}

void CDialogWeb::OnMove(int x, int y)
{
    // In the game layout the owner follows this window; in the login layout this window follows its owner.
    if (m_bGameLayout)
    {
        RECT self;
        GetWindowRect(&self);
        m_owner.WebWindowMoved(ToRect(self));
    }
    CDialog::OnMove(x, y);
}

void CDialogWeb::OnShowWindow(BOOL show, UINT status)
{
    CDialog::OnShowWindow(show, status);
    if (show)
        ModifyStyleEx(WS_EX_APPWINDOW, 0);
    m_toolbar.ApplyVisibility(m_bGameLayout, true);
}

void CDialogWeb::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = m_rcMin.right - m_rcMin.left;
    info->ptMinTrackSize.y = m_rcMin.bottom - m_rcMin.top;
    CDialog::OnGetMinMaxInfo(info);
}

void CDialogWeb::OnPaint()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    if (!m_bGameLayout)
    {
        // Everything in the colour key: only the child windows show, over the main window's skin. One fill of one
        // colour, straight to the screen: nothing shows half drawn.
        CGdiObject<HBRUSH> key(::CreateSolidBrush(m_crKey));
        ::FillRect(dc, &client, key);
        return;
    }
    // The frame over the whole client area; the centre, which it leaves, is the browser's.
    const bool framed = m_frame.Paint(dc, client.right - client.left, client.bottom - client.top);
    PaintCentre(dc, framed ? m_frame.Centre() : client);
    m_toolbar.CaptureFrameBackgrounds(this, dc);
    if (const LayoutRect* title = m_owner.FindLayout("WebTitle_L"))
        CSkinFrame::PaintTitle(dc, POINT{title->x, title->y}, m_strTitle);
}

void CDialogWeb::PaintCentre(HDC dc, const RECT& centre)
{
    // The frame leaves its centre to the browser. Where no browser shows, the centre is painted black, so that
    // nothing of what the window showed before (the login layout's key colour and buttons) stays there.
    const int saved = ::SaveDC(dc);
    if (::IsWindow(m_browser.m_hWnd) && m_browser.IsWindowVisible())
    {
        RECT browser;
        m_browser.GetWindowRect(&browser);
        ScreenToClient(&browser);
        ::ExcludeClipRect(dc, browser.left, browser.top, browser.right, browser.bottom);
    }
    ::FillRect(dc, &centre, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::RestoreDC(dc, saved);
}

HBRUSH CDialogWeb::OnCtlColor(HDC dc, HWND, UINT)
{
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT CDialogWeb::OnNcHitTest(POINT point)
{
    if (!m_bGameLayout || m_bMaximised || !::IsWindow(m_browser.m_hWnd))
        return Default();
    RECT browser;
    m_browser.GetWindowRect(&browser);
    const int code = WebWindowHitTest(ToPoint(point), ToRect(browser), m_bGameLayout, m_bMaximised);
    return code == HitDefault ? Default() : code;
}

BOOL CDialogWeb::OnSetCursor(HWND, UINT hitTest, UINT)
{
    ::SetCursor(::LoadCursorA(nullptr, kCursors[static_cast<int>(CursorForHitTest(static_cast<int>(hitTest)))]));
    return TRUE;
}

bool CDialogWeb::InTitleBand(POINT point) const
{
    // The client area above the browser; none without a browser window.
    RECT client, browser;
    GetClientRect(&client);
    if (!::IsWindow(m_browser.m_hWnd))
        return false;
    m_browser.GetWindowRect(&browser);
    ScreenToClient(&browser);
    return Contains(TitleBand(ToRect(client), browser.top), ToPoint(point));
}

void CDialogWeb::OnLButtonDown(UINT flags, POINT point)
{
    CDialog::OnLButtonDown(flags, point);
    if (InTitleBand(point) && m_bGameLayout && !m_bMaximised)
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void CDialogWeb::OnLButtonDblClk(UINT flags, POINT point)
{
    if (InTitleBand(point) && m_bGameLayout)
        ToggleMaximised();
    else
        CDialog::OnLButtonDblClk(flags, point);
}

// ---- commands ----

bool CDialogWeb::OnSitePage(UINT id)
{
    SiteUrlKind kind;
    if (!m_toolbar.SitePage(id, kind))
        return false;
    m_owner.OpenSitePage(kind);
    return true;
}

void CDialogWeb::OnExit()
{
    // Leaving a running game is asked first; the login screen just closes.
    if (m_bGameLayout && AfxMessageBox("当前操作将退出游戏，是否继续", MB_YESNO | MB_SYSTEMMODAL) != IDYES)
        return;
    m_owner.Leave();
}

void CDialogWeb::OnClear()
{
    if (AfxMessageBox("确认要清除IE及Flash缓存？", MB_YESNO | MB_SYSTEMMODAL) == IDYES)
        ClearBrowserCache();
}

void CDialogWeb::OnVolume()
{
    m_bSoundOn = !m_bSoundOn;
    m_toolbar.ShowSound(m_bSoundOn);
    ClickGameMovie(m_browser.m_hWnd, m_bSoundOn ? m_ptSoundOn : m_ptSoundOff);
}

void CDialogWeb::SetSoundPoints(const POINT& on, const POINT& off)
{
    m_ptSoundOn = on;
    m_ptSoundOff = off;
}

// ---- the navigation watch ----

void CDialogWeb::OnBeforeNavigate2(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*)
{
    // Every navigation goes ahead as the page asked.
}

void CDialogWeb::OnNavigateComplete2(IDispatch*, VARIANT* url)
{
    // Whichever browser object it comes from, a frame of the page included. An address that is not text is no
    // address at all, and is not read as one.
    const BSTR* text = AfxBstrOf(url);
    if (!text)
        return;
    CAnsiString address = AfxAnsiFromWide(*text, *text ? ::SysStringLen(*text) : 0);
    // Only posted: the switch may destroy the browser, which is still inside its own event here.
    switch (ClassifyNavigation(address, m_addresses.loginKey, m_addresses.loginKeyPre, AfxThreadCodePage()))
    {
    case PageKind::GamePage:
        PostMessage(WM_GAME_PAGE_LOADED);
        break;
    case PageKind::WebPage:
        PostMessage(WM_WEB_PAGE_LOADED);
        break;
    case PageKind::Nothing:
        break;
    }
}

void CDialogWeb::OnNavigateError(IDispatch* browser, VARIANT* url, VARIANT*, VARIANT* status, VARIANT_BOOL* cancel)
{
    // The page itself only: a frame's error stays the control's. Only posted: the control is still inside its own
    // navigation here.
    if (m_browser.IsControlObject(browser) && m_offlinePage.Intercept(url, status, cancel))
        PostMessage(WM_SHOW_OFFLINE_PAGE);
}

LRESULT CDialogWeb::OnShowOfflinePage(WPARAM, LPARAM)
{
    m_offlinePage.Show(m_browser);
    return 0;
}
