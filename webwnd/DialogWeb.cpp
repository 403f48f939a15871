#include "webwnd/DialogWeb.h"

#include <exdisp.h>
#include <exdispid.h>

#include <algorithm>
#include <memory>

#include "framework/ComPtr.h"
#include "framework/Dc.h"
#include "framework/MessageBox.h"
#include "framework/OccSite.h"
#include "framework/Rects.h"
#include "framework/Text.h"
#include "res/resource.h"
#include "webwnd/ClearBrowserCache.h"
#include "webwnd/OfflinePage.h"
#include "webwnd/core/NavigationWatch.h"
#include "webwnd/core/OfflinePage.h"

namespace
{

// The maximise button's pictures follow the window's state, in both layouts.
const ButtonImages kRestorePicture = {179, 180, 181};
const ButtonImages kMaximisePicture = {175, 176, 177};

// The web window's buttons, in the order the layout places them: the member each is bound to, the layout rectangle
// of each layout (none: never placed), the pictures of each layout, whether it stands on the game window's frame
// (and so takes its background from the frame's paint) and the site page it opens. Which layouts show each is the
// visibility rule of its kind (webwnd/core/WebLayout.h). Data exchange, the layout, the visibility, the backgrounds
// and the site commands all go by this table.
struct ButtonRow
{
    WebButton kind;
    int id;
    CMyBitmapButton CDialogWeb::*button;
    const char* loginRect;
    const char* gameRect;
    ButtonImages login;
    ButtonImages game;
    bool onFrame;
    int site; // a SiteUrlKind, or -1
};

const ButtonRow kButtons[] = {
    {WebButton::Exit, IDC_BTN_EXIT, &CDialogWeb::m_btnExit, "Exit", "Exit_L", {133, 134, 135}, {169, 170, 171}, true,
     -1},
    {WebButton::Min, IDC_BTN_MIN, &CDialogWeb::m_btnMin, "Min", "Min_L", {142, 143, 144}, {172, 173, 174}, true, -1},
    {WebButton::Max, IDC_BTN_MAX, &CDialogWeb::m_btnMax, "Max", "Max_L", {}, {}, true, -1},
    {WebButton::Icon, IDC_BTN_ICON, &CDialogWeb::m_btnIcon, "Icon", "Icon_L", {178, 0, 0}, {178, 0, 0}, true, -1},
    {WebButton::Official, IDC_BTN_OFFICIAL, &CDialogWeb::m_btnOfficial, "Official", "Official_L", {136, 137, 138},
     {215, 216, 217}, false, SiteUrlOfficial},
    {WebButton::Forum, IDC_BTN_FORUM, &CDialogWeb::m_btnForum, "Forum", "Forum_L", {148, 149, 150}, {212, 213, 214},
     false, SiteUrlForum},
    {WebButton::Pay, IDC_BTN_PAY, &CDialogWeb::m_btnPay, "Pay", "Pay_L", {130, 131, 132}, {206, 207, 208}, false,
     SiteUrlPay},
    {WebButton::Custom, IDC_BTN_CUSTOM, &CDialogWeb::m_btnCustom, "Custom", "Custom_L", {139, 140, 141},
     {209, 210, 211}, false, SiteUrlCustome},
    {WebButton::Refresh, IDC_BTN_REFRESH, &CDialogWeb::m_btnRefresh, "Refresh", "Refresh_L", {191, 192, 193},
     {191, 192, 193}, true, -1},
    {WebButton::Clear, IDC_BTN_CLEAR, &CDialogWeb::m_btnClear, "Clear", "Clear_L", {194, 195, 196}, {194, 195, 196},
     true, -1},
    {WebButton::Regist, IDC_BTN_REGIST, &CDialogWeb::m_btnRegist, nullptr, nullptr, {}, {}, false, SiteUrlRegist},
    {WebButton::Volume, IDC_BTN_VOLUME, &CDialogWeb::m_btnVolume, nullptr, nullptr, {}, {}, false, -1},
};

} // namespace

CDialogWeb::CDialogWeb(CWebWindowOwner& owner) : CDialog(IDD), m_owner(owner) {}

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
ON_EVENT(CDialogWeb, IDC_BROWSER, 250, OnBeforeNavigate2,
         VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
ON_EVENT(CDialogWeb, IDC_BROWSER, 252, OnNavigateComplete2, VTS_DISPATCH VTS_PVARIANT)
ON_EVENT(CDialogWeb, IDC_BROWSER, DISPID_NAVIGATEERROR, OnNavigateError,
         VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
END_EVENTSINK_MAP()

void CDialogWeb::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (const ButtonRow& row : kButtons)
        DDX_Control(pDX, row.id, this->*row.button);
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
    NavigateToStart();
    LayoutButtons(false);
    m_frame.SetFrames(m_owner.Frames("Toolbar"));

    m_crKey = RGB(0, 0, 255);
    ApplyLayeredStyle();
    ModifyStyleEx(WS_EX_APPWINDOW, 0);
    return TRUE;
}

void CDialogWeb::NavigateToStart()
{
    if (m_strStartUrl.Empty())
        return;
    // A control that refuses the address leaves an empty browser, nothing more: the rest of the initialisation (the
    // layered style, the key, the frame) still runs.
    VARIANT empty;
    ::VariantInit(&empty);
    try
    {
        m_browser.Navigate(m_strStartUrl, &empty, &empty, &empty, &empty);
    }
    catch (...)
    {
    }
    ::VariantClear(&empty);
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
    ApplyVisibility(false);
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
    LayoutButtons(m_bGameLayout);
    Invalidate(TRUE);
}

void CDialogWeb::LayoutButtons(bool game)
{
    // Every picture first, then every place.
    for (const ButtonRow& row : kButtons)
    {
        if (!row.gameRect)
            continue;
        ButtonImages images = game ? row.game : row.login;
        if (row.kind == WebButton::Max)
            images = m_bMaximised ? kRestorePicture : kMaximisePicture;
        (this->*row.button).SetImages(images.normal, images.pressed, images.hover);
    }
    for (const ButtonRow& row : kButtons)
    {
        if (row.gameRect)
            PlaceButton(game ? row.gameRect : row.loginRect, this->*row.button);
    }
}

void CDialogWeb::PlaceButton(const char* name, CMyBitmapButton& button)
{
    if (!::IsWindow(button.m_hWnd))
        return;
    const LayoutRect* layout = m_owner.FindLayout(name);
    if (!layout)
        return;
    RECT client;
    GetClientRect(&client);
    const Rect place = ButtonRect(*layout, ToRect(client));
    button.MoveWindow(place.left, place.top, place.Width(), place.Height(), TRUE);
}

void CDialogWeb::ApplyVisibility(bool withExitAndMin)
{
    for (const ButtonRow& row : kButtons)
    {
        CMyBitmapButton& button = this->*row.button;
        const Visibility visibility = ButtonVisibility(row.kind, m_bGameLayout, withExitAndMin);
        if (visibility != Visibility::Untouched && ::IsWindow(button.m_hWnd))
            button.ShowWindow(visibility == Visibility::Show ? SW_SHOW : SW_HIDE);
    }
}

void CDialogWeb::CaptureButtonBackgrounds(CWnd* reference, HDC dc)
{
    // Every button that can show: those the layout places.
    for (const ButtonRow& row : kButtons)
    {
        if (row.gameRect)
            (this->*row.button).CaptureBackground(reference, dc);
    }
}

// ---- messages ----

LRESULT CDialogWeb::OnGamePageLoaded(WPARAM, LPARAM)
{
    m_owner.GamePageReached();
    return 0;
}

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
    LayoutButtons(m_bGameLayout);
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
    ApplyVisibility(true);
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
        // Everything in the colour key: only the child windows show, over the main window's skin.
        CMemoryDC memory(dc);
        CBitmap bitmap(::CreateCompatibleBitmap(dc, client.right - client.left, client.bottom - client.top));
        CSelectObject selection(memory, bitmap.Get());
        CGdiObject<HBRUSH> key(::CreateSolidBrush(m_crKey));
        ::FillRect(memory, &client, key);
        ::BitBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, SRCCOPY);
        return;
    }
    // The frame over the whole client area; the centre, which it leaves, is the browser's.
    const bool framed = m_frame.Paint(dc, client.right - client.left, client.bottom - client.top);
    PaintCentre(dc, framed ? m_frame.Centre() : client);
    for (const ButtonRow& row : kButtons)
    {
        if (row.onFrame)
            (this->*row.button).CaptureBackground(this, dc);
    }
    if (const LayoutRect* title = m_owner.FindLayout("WebTitle_L"))
    {
        const COLORREF previous = ::SetTextColor(dc, RGB(255, 255, 255));
        ::SetBkMode(dc, TRANSPARENT);
        const std::wstring text = AfxWide(m_strTitle.c_str());
        ::TextOutW(dc, title->x, title->y, text.c_str(), static_cast<int>(text.size()));
        ::SetTextColor(dc, previous);
    }
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

BOOL CDialogWeb::OnEraseBkgnd(HDC)
{
    return TRUE; // everything is drawn in OnPaint
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
    LPCSTR cursor = IDC_ARROW;
    switch (CursorForHitTest(static_cast<int>(hitTest)))
    {
    case CursorShape::SizeWestEast:
        cursor = IDC_SIZEWE;
        break;
    case CursorShape::SizeNorthSouth:
        cursor = IDC_SIZENS;
        break;
    case CursorShape::SizeNorthWestSouthEast:
        cursor = IDC_SIZENWSE;
        break;
    case CursorShape::SizeNorthEastSouthWest:
        cursor = IDC_SIZENESW;
        break;
    case CursorShape::Arrow:
        break;
    }
    ::SetCursor(::LoadCursorA(nullptr, cursor));
    return TRUE;
}

RECT CDialogWeb::TitleBandRect() const
{
    RECT client;
    GetClientRect(&client);
    if (!::IsWindow(m_browser.m_hWnd))
        return RECT{};
    RECT browser;
    m_browser.GetWindowRect(&browser);
    ScreenToClient(&browser);
    return ToRECT(TitleBand(ToRect(client), browser.top));
}

bool CDialogWeb::InTitleBand(POINT point) const
{
    return Contains(ToRect(TitleBandRect()), ToPoint(point));
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
    for (const ButtonRow& row : kButtons)
    {
        if (row.id == static_cast<int>(id) && row.site >= 0)
        {
            m_owner.OpenSitePage(static_cast<SiteUrlKind>(row.site));
            return true;
        }
    }
    return false;
}

void CDialogWeb::OnMin()
{
    // The web window is owned by the main window, and goes and comes back with it.
    m_owner.Minimise();
}

void CDialogWeb::OnExit()
{
    // Leaving a running game is asked first; the login screen just closes.
    if (m_bGameLayout && AfxMessageBox("当前操作将退出游戏，是否继续", MB_YESNO | MB_SYSTEMMODAL) != IDYES)
        return;
    m_owner.Leave();
}

void CDialogWeb::OnMax()
{
    ToggleMaximised();
}

void CDialogWeb::OnRefresh()
{
    m_browser.Refresh();
}

void CDialogWeb::OnClear()
{
    if (AfxMessageBox("确认要清除IE及Flash缓存？", MB_YESNO | MB_SYSTEMMODAL) == IDYES)
        ClearBrowserCache();
}

void CDialogWeb::OnVolume()
{
    m_bSoundOn = !m_bSoundOn;
    if (m_bSoundOn)
        m_btnVolume.SetImages(188, 189, 190); // a speaker with sound waves
    else
        m_btnVolume.SetImages(185, 186, 187); // the speaker crossed out
    m_btnVolume.Invalidate(TRUE);

    // The game's Flash movie: three levels below the browser's window.
    HWND first = ::IsWindow(m_browser.m_hWnd) ? ::GetWindow(m_browser.m_hWnd, GW_CHILD) : nullptr;
    HWND second = first ? ::GetWindow(first, GW_CHILD) : nullptr;
    HWND flash = second ? ::FindWindowExA(second, nullptr, "MacromediaFlashPlayerActiveX", nullptr) : nullptr;
    if (!flash)
        return;
    const POINT point = m_bSoundOn ? m_ptSoundOn : m_ptSoundOff;
    // The key-state word is MK_RBUTTON (2), as the movie has always been sent it.
    const LPARAM where = MAKELPARAM(point.x, point.y);
    ::PostMessageW(flash, WM_LBUTTONDOWN, MK_RBUTTON, where);
    ::PostMessageW(flash, WM_LBUTTONUP, MK_RBUTTON, where);
}

void CDialogWeb::OnSettings()
{
    m_dlgVolume.DoModal();
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
    const BSTR* text = nullptr;
    if (url && url->vt == VT_BSTR)
        text = &url->bstrVal;
    else if (url && url->vt == (VT_BYREF | VT_BSTR))
        text = url->pbstrVal;
    if (!text)
        return;
    CAnsiString address = AfxAnsiFromWide(*text, *text ? ::SysStringLen(*text) : 0);
    // Only posted: the switch may destroy the browser, which is still inside its own event here.
    switch (ClassifyNavigation(address, LoginKey, LoginKeyPre, AfxThreadCodePage()))
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
    // A server that was reached shows its own error page; a frame's error stays the control's, and so does one of
    // the client's own page, which is not tried again and again.
    VARIANT code;
    ::VariantInit(&code);
    if (status && SUCCEEDED(::VariantChangeType(&code, status, 0, VT_I4)) && !IsServerUnreachable(code.lVal))
        return;
    const BSTR* text = nullptr;
    if (url && url->vt == VT_BSTR)
        text = &url->bstrVal;
    else if (url && url->vt == (VT_BYREF | VT_BSTR))
        text = url->pbstrVal;
    if (!text || ::SysStringLen(*text) == 0 || !cancel || !IsTheBrowser(browser))
        return;
    const std::wstring failed(*text, ::SysStringLen(*text));
    if (IsOwnPageAddress(AfxUtf8(failed.c_str())))
        return;
    std::wstring page = OfflinePageAddress(failed);
    if (page.empty())
        return;
    *cancel = VARIANT_TRUE;
    // Only posted: the control is still inside its own navigation here.
    m_offlinePage.swap(page);
    PostMessage(WM_SHOW_OFFLINE_PAGE);
}

LRESULT CDialogWeb::OnShowOfflinePage(WPARAM, LPARAM)
{
    if (m_offlinePage.empty() || !::IsWindow(m_browser.m_hWnd))
        return 0;
    // Shown in either layout: at the login screen the browser may not have shown a page yet.
    if (!m_browser.IsWindowVisible())
        m_browser.ShowWindow(SW_SHOW);
    std::wstring page;
    page.swap(m_offlinePage);
    // Not in the history: going back from the page that works again never lands on this one.
    VARIANT flags, empty;
    ::VariantInit(&flags);
    ::VariantInit(&empty);
    flags.vt = VT_I4;
    flags.lVal = navNoHistory;
    m_browser.Navigate(page, &flags, &empty, &empty, &empty);
    return 0;
}

bool CDialogWeb::IsTheBrowser(IDispatch* browser) const
{
    COleControlSite* site = m_browser.ControlSite();
    if (!browser || !site || !site->m_pObject)
        return false;
    // COM identity: the same object answers IUnknown with the same pointer.
    CComPtr<IUnknown> event, control;
    browser->QueryInterface(IID_IUnknown, event.ReceiveVoid());
    site->m_pObject.Get()->QueryInterface(IID_IUnknown, control.ReceiveVoid());
    return event && event.Get() == control.Get();
}
