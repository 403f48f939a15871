#pragma once

#include <string>

#include "core/AnsiString.h"
#include "framework/Dialog.h"
#include "host/WebBrowser.h"
#include "skin/MyBitmapButton.h"
#include "skin/SkinFrame.h"
#include "webwnd/DlgVolume.h"
#include "webwnd/WebMessages.h"
#include "webwnd/WebWindowOwner.h"
#include "webwnd/core/WebLayout.h"

// The game web window: the browser and the toolbar buttons, in the login layout (a transparent panel over the main
// window's skin) or the game layout (the game's own window with a self-drawn frame, filling the work area or its
// restore rectangle). Its owner (the main window) sets its three addresses, creates it from template 130 and, to go
// back to the login layout, destroys the window and creates it again on the same object. The web window reaches its
// owner only through CWebWindowOwner, handed over at construction.
class CDialogWeb : public CDialog, public CSoundPoints
{
public:
    enum
    {
        IDD = 130
    };

    explicit CDialogWeb(CWebWindowOwner& owner);
    ~CDialogWeb() override;

    // Set by the main window before it creates the window; they survive every re-creation.
    CAnsiString m_strStartUrl; // navigated when the window initialises
    CAnsiString LoginKey;      // game-server address suffix
    CAnsiString LoginKeyPre;   // game-server address prefix

    // Switches the layout; nothing when the window is in that layout already.
    void SetGameLayout(bool game);
    // Fits requested (screen coordinates) to the work area and moves the window there.
    void PlaceWindow(const RECT& requested);
    // Gives the laid-out buttons the images and rectangles of a layout.
    void LayoutButtons(bool game);
    // Moves button to the layout rectangle name, measured in this window's client area.
    void PlaceButton(const char* name, CMyBitmapButton& button);
    // Maximises or restores the game window.
    void ToggleMaximised();
    // Every button that can show copies the part of dc under it, placed relative to reference's client area.
    void CaptureButtonBackgrounds(CWnd* reference, HDC dc);
    // The settings dialog's points, confirmed.
    void SetSoundPoints(const POINT& on, const POINT& off) override;

    // The one record of which layout (and so which mode) the client is in.
    bool IsGameLayout() const { return m_bGameLayout; }
    bool IsMaximised() const { return m_bMaximised; }
    bool IsSoundOn() const { return m_bSoundOn; }
    POINT SoundOnPoint() const { return m_ptSoundOn; }
    POINT SoundOffPoint() const { return m_ptSoundOff; }
    const RECT& RestoreRect() const { return m_rcRestore; }
    const std::string& TitleText() const { return m_strTitle; } // UTF-8

    CMyBitmapButton m_btnOfficial;
    CMyBitmapButton m_btnPay;
    CMyBitmapButton m_btnForum;
    CMyBitmapButton m_btnCustom;
    CMyBitmapButton m_btnMin;
    CMyBitmapButton m_btnExit;
    CMyBitmapButton m_btnRegist;
    CMyBitmapButton m_btnMax;
    CMyBitmapButton m_btnIcon;
    CMyBitmapButton m_btnRefresh;
    CMyBitmapButton m_btnClear;
    CMyBitmapButton m_btnVolume;
    CWebBrowser m_browser;
    CDlgVolume m_dlgVolume{*this};

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}     // Enter does nothing
    void OnCancel() override {} // nor do Escape and a close request

    LRESULT OnGamePageLoaded(WPARAM, LPARAM);
    LRESULT OnWebPageLoaded(WPARAM, LPARAM);
    LRESULT OnShowOfflinePage(WPARAM, LPARAM);
    void OnSize(UINT type, int cx, int cy);
    void OnMove(int x, int y);
    void OnShowWindow(BOOL show, UINT status);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    LRESULT OnNcHitTest(POINT point);
    BOOL OnSetCursor(HWND hwnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    // The commands of the buttons (and of the three no control issues). A site page button opens its page; false
    // for any other command.
    bool OnSitePage(UINT id);
    void OnMin();
    void OnExit();
    void OnMax();
    void OnRefresh();
    void OnClear();
    void OnVolume();
    void OnSettings();

    // The navigation watch: the browser's events.
    void OnBeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrameName,
                           VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);
    void OnNavigateComplete2(IDispatch* browser, VARIANT* url);
    // A page the browser could not reach: the page itself (not a frame of it) gets the client's own page in its
    // place, in either layout; the control's own error page is cancelled.
    void OnNavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrameName, VARIANT* statusCode,
                         VARIANT_BOOL* cancel);

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

private:
    // The visibility rule; withExitAndMin: the whole rule, else without the Exit and Min rows.
    void ApplyVisibility(bool withExitAndMin);
    // The browser's start address, once the window is made.
    void NavigateToStart();
    // The layered style and its colour key in the login layout, none in the game layout.
    void ApplyLayeredStyle();
    // Paints centre (client coordinates) black where no browser covers it.
    void PaintCentre(HDC dc, const RECT& centre);
    // The client area above the browser, in client coordinates; empty without a browser window.
    RECT TitleBandRect() const;
    bool InTitleBand(POINT point) const;
    // Whether an event's browser object is this window's control itself, not a frame of its page.
    bool IsTheBrowser(IDispatch* browser) const;

    CWebWindowOwner& m_owner;
    bool m_bGameLayout = false;
    bool m_bMaximised = true;
    bool m_bSoundOn = true;
    CSkinFrame m_frame; // the game layout's frame
    POINT m_ptSoundOn = {0, 0};
    POINT m_ptSoundOff = {0, 0};
    RECT m_rcMin = {};
    RECT m_rcRestore = {};
    std::string m_strTitle;
    std::wstring m_offlinePage; // the address WM_SHOW_OFFLINE_PAGE goes to
    COLORREF m_crKey = RGB(0, 0, 255);
};
