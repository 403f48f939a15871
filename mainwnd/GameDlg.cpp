#include "mainwnd/GameDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <future>
#include <memory>
#include <utility>

#include "config/TextResource.h"
#include "core/Pixels.h"
#include "framework/Dc.h"
#include "framework/Rects.h"
#include "framework/Surface.h"
#include "framework/Text.h"
#include "mainwnd/core/MainLayout.h"
#include "res/PictureIds.h"
#include "res/resource.h"
#include "skin/LockedPixels.h"
#include "skin/ResourceImage.h"

namespace
{

// A document of the executable; empty when it is missing (its tables then stay empty).
std::string Document(int id)
{
    std::string text;
    LoadTextResource(nullptr, id, text);
    return text;
}

template <class Result> void CALLBACK RunTask(PTP_CALLBACK_INSTANCE, void* context)
{
    std::unique_ptr<std::packaged_task<Result()>> task(static_cast<std::packaged_task<Result()>*>(context));
    (*task)();
}

// Runs work on a thread of the process's pool and hands its result over; work that cannot be queued runs here. A pool
// thread is kept a while once idle, so the next way back finds it started.
template <class Result, class Work> std::future<Result> OnPool(Work work)
{
    auto task = std::make_unique<std::packaged_task<Result()>>(std::move(work));
    std::future<Result> result = task->get_future();
    if (::TrySubmitThreadpoolCallback(RunTask<Result>, task.get(), nullptr))
        task.release();
    else
        (*task)();
    return result;
}

} // namespace

CGameDlg::CGameDlg() : CDialog(IDD), m_dlgWeb(*this, LoadSiteUrls())
{
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
}

CGameDlg::~CGameDlg() = default;

BEGIN_MESSAGE_MAP(CGameDlg, CDialog)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_MOVE()
ON_WM_SIZE()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

BOOL CGameDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_aniFile.LoadFromText(Document(IDR_ANIMATION_DOC).c_str());
    LoadLayouts();
    SetWindowText(AfxLoadString(IDS_APP_TITLE).c_str());
    m_bgSkin.SetFrames(CMyBitmap::ModeSingleImage, m_aniFile.GetFrames("Bg"));
    m_webFrameSkin.SetFrames(CMyBitmap::ModeNineGrid, m_aniFile.GetFrames("WebFrame"));
    ModifyStyleEx(0, WS_EX_LAYERED);
    // Shown now rather than when the initialisation returns, so that it is on the screen before the web window it
    // owns. Nothing shows yet: a layered window shows only what it is given, and it has been given nothing. But a
    // window system that stacks windows in the order they appear (Wine's, on X) would otherwise put it over the web
    // window for good.
    ShowWindow(SW_SHOWNA);
    m_dlgWeb.Create(CDialogWeb::IDD, this);
    SetGameMode(false);
    m_dlgWeb.ShowWindow(SW_SHOW);
    return TRUE;
}

void CGameDlg::LoadLayouts()
{
    m_tables.LoadLayouts(Document(IDR_LAYOUT_DOC), Document(IDR_RESOLUTION_DOC));
}

void CGameDlg::OpenSiteUrl(int kind) const
{
    const CAnsiString& url = GetSiteUrl(kind);
    if (IsNoPageUrl(url))
        return;
    // Show command 13 is past the named ones; the shell's answer is not looked at.
    ::ShellExecuteA(nullptr, nullptr, url.Ansi(), nullptr, nullptr, 13);
}

WebAddresses CGameDlg::LoadSiteUrls()
{
    m_tables.LoadSiteUrls(Document(IDR_SITEURL_DOC));
    return WebAddresses{GetSiteUrl(SiteUrlMain), GetSiteUrl(SiteUrlLoginKey), GetSiteUrl(SiteUrlLoginKeyPre)};
}

void CGameDlg::SetGameMode(bool game)
{
    if (game)
    {
        // Whatever of the login picture is still held goes: the way back decodes it anew.
        m_images = LoginImages();
        if (IsGameMode())
        {
            // A game window that is in place already: this window just goes out of the way again.
            MoveWindow(10, 10, 10, 10, TRUE);
            return;
        }
        // The web window takes the game layout and moves into the work area; this window, 10 x 10, goes under its
        // corner (WebWindowMoved).
        m_dlgWeb.SetGameLayout(true);
        RECT web;
        m_dlgWeb.GetWindowRect(&web);
        WebWindowMoved(ToRect(web));
        return;
    }
    SIZE picture = {};
    if (!LoginPictureSize(picture))
        return;
    // The picture at its own size; on a screen smaller than it, the window holds the part on the screen.
    const LoginPlacement place =
        PlaceLoginWindow(static_cast<int>(picture.cx), static_cast<int>(picture.cy), ::GetSystemMetrics(SM_CXSCREEN),
                         ::GetSystemMetrics(SM_CYSCREEN), FindLayout("DlgWeb"));
    m_pictureOffset = POINT{place.window.left - place.picture.left, place.window.top - place.picture.top};
    MoveWindow(place.window.left, place.window.top, place.window.Width(), place.window.Height(), TRUE);
    m_dlgWeb.SetGameLayout(false);
    FollowMainWindow();
    ComposeBackground();
}

void CGameDlg::ReturnToLogin()
{
    if (!IsGameMode())
        return;
    m_dlgWeb.DestroyWindow();
    m_dlgWeb.Create(CDialogWeb::IDD);
    SetGameMode(false);
    m_dlgWeb.ShowWindow(SW_SHOW);
}

bool CGameDlg::LoginPictureSize(SIZE& size)
{
    // The window takes the outline picture's size. The images, which the login screen needs next anyway for its push,
    // have it when the shape is that picture, as shipped: it is then decoded once, not once more for its size alone.
    if (m_loginSize.cx <= 0 && m_bgSkin.FrameId(0) == IDB_LOGIN_OUTLINE)
    {
        m_images = TakeLoginImages();
        if (m_images.shape)
            m_loginSize =
                SIZE{static_cast<LONG>(m_images.shape->GetWidth()), static_cast<LONG>(m_images.shape->GetHeight())};
    }
    if (m_loginSize.cx <= 0)
    {
        std::unique_ptr<Gdiplus::Bitmap> picture = LoadResourceImage(IDB_LOGIN_OUTLINE, "PNG");
        if (!picture)
            return false;
        m_loginSize = SIZE{static_cast<LONG>(picture->GetWidth()), static_cast<LONG>(picture->GetHeight())};
    }
    size = m_loginSize;
    return true;
}

CGameDlg::LoginImages CGameDlg::DecodeLoginImages(const CMyBitmap& shapeSkin, bool sideBySide)
{
    // Each takes Wine's decoders 20 to 25 ms at 1024 x 700: side by side, the two take the time of the longer.
    std::future<std::unique_ptr<Gdiplus::Bitmap>> colour;
    if (sideBySide)
        colour = OnPool<std::unique_ptr<Gdiplus::Bitmap>>([] { return LoadResourceImage(IDB_LOGIN_COLOURS, "JPG"); });
    LoginImages images;
    images.shape = shapeSkin.LoadFrameImage(0);
    images.colour = colour.valid() ? colour.get() : LoadResourceImage(IDB_LOGIN_COLOURS, "JPG");
    return images;
}

CGameDlg::LoginImages CGameDlg::TakeLoginImages()
{
    if (m_images.shape || m_images.colour)
        return std::move(m_images);
    // The first login screen decodes on this thread alone: under Wine a process keeps about 1 MB committed for good
    // once it has run a second thread, which the start would then carry. The way back decodes side by side.
    const bool sideBySide = m_decodedBefore;
    m_decodedBefore = true;
    return DecodeLoginImages(m_bgSkin, sideBySide);
}

bool CGameDlg::ComposeLoginPicture(int width, int height, CDibSurface& surface)
{
    const LoginImages images = TakeLoginImages();
    if (width <= 0 || height <= 0 || !images.shape || !images.colour || !surface.Create(width, height))
        return false;
    // Never scaled: the part of the picture the window holds, from where the window's corner lies in it. In one pass
    // from the colours' own 24 bits where they cover the shape, as shipped; else merged whole, then copied.
    {
        CLockedPixels shape(*images.shape, Gdiplus::ImageLockModeRead);
        CLockedRgbPixels colour(*images.colour);
        if (ComposeShapeAndColourPart(shape.View(), colour.View(), m_pictureOffset.x, m_pictureOffset.y,
                                      surface.Pixels()))
            return true;
    }
    CLockedPixels shape(*images.shape, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite);
    {
        CLockedPixels colour(*images.colour, Gdiplus::ImageLockModeRead);
        MergeShapeAndColour(shape.View(), colour.View(), static_cast<int>(images.shape->GetWidth()),
                            static_cast<int>(images.shape->GetHeight()));
    }
    if (!shape.View().pixels)
        return false;
    CopyPremultipliedPart(shape.View(), m_pictureOffset.x, m_pictureOffset.y, surface.Pixels());
    return true;
}

void CGameDlg::OnPaint()
{
    CPaintDC paint(this);
    if (m_pushPending)
        ComposeBackground();
}

void CGameDlg::ComposeBackground()
{
    if (IsGameMode())
        return;
    RECT window;
    GetWindowRect(&window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    CDibSurface surface;
    m_pushPending = true;
    if (!ComposeLoginPicture(width, height, surface))
        return;
    POINT position = {window.left, window.top};
    SIZE size = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // A layered window's picture goes to the screen: the screen's context, not a paint context (this also runs
    // outside WM_PAINT, from SetGameMode).
    CClientDC screen(nullptr);
    if (!::UpdateLayeredWindow(m_hWnd, screen, &position, &size, surface, &origin, 0, &blend, ULW_ALPHA))
        return;
    m_pushPending = false;
    m_dlgWeb.Toolbar().CaptureBackgrounds(this, surface);
}

void CGameDlg::FollowMainWindow()
{
    if (IsGameMode())
        return;
    RECT window;
    GetWindowRect(&window);
    // The web window's place is in the picture, whose corner may lie off the screen, before the window's.
    ::OffsetRect(&window, -m_pictureOffset.x, -m_pictureOffset.y);
    const Point origin = WebWindowOrigin(ToRect(window), FindLayout("DlgWeb"));
    if (!::IsWindow(m_dlgWeb.m_hWnd))
        return;
    RECT web;
    m_dlgWeb.GetWindowRect(&web);
    m_dlgWeb.MoveWindow(origin.x, origin.y, web.right - web.left, web.bottom - web.top, TRUE);
}

void CGameDlg::OnMove(int, int)
{
    FollowMainWindow();
}

void CGameDlg::WebWindowMoved(const Rect& window)
{
    // In game mode this window stays 10 x 10 under the game window's top-left corner.
    if (IsGameMode() && m_hWnd)
        MoveWindow(window.left, window.top, 10, 10, TRUE);
}

void CGameDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    // The web window goes and comes back with its owner. Windows does that by itself; Wine leaves owned windows on
    // the screen, so it is said once more here (on Windows it changes nothing).
    if (type == SIZE_MINIMIZED && !m_bMinimised)
    {
        m_bMinimised = true;
        ::ShowOwnedPopups(m_hWnd, FALSE);
    }
    else if (type != SIZE_MINIMIZED && m_bMinimised)
    {
        m_bMinimised = false;
        ::ShowOwnedPopups(m_hWnd, TRUE);
    }
}

void CGameDlg::OnLButtonDown(UINT flags, POINT point)
{
    CDialog::OnLButtonDown(flags, point);
    RECT client;
    GetClientRect(&client);
    if (::PtInRect(&client, point))
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

HBRUSH CGameDlg::OnCtlColor(HDC dc, HWND, UINT)
{
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}
