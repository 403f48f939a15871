#pragma once

#include <string>

#include "core/AnsiString.h"
#include "framework/Dialog.h"
#include "host/WebBrowser.h"
#include "skin/SkinFrame.h"
#include "webwnd/DlgVolume.h"
#include "webwnd/OfflinePage.h"
#include "webwnd/WebMessages.h"
#include "webwnd/WebToolbar.h"
#include "webwnd/WebWindowOwner.h"
#include "webwnd/core/WebLayout.h"

// The addresses the web window starts at and watches for: the site-address document's Main, LoginKey and
// LoginKeyPre. The watch folds the two keys to upper case in place, on the window's own copies.
struct WebAddresses
{
    CAnsiString start;       // navigated when the window initialises
    CAnsiString loginKey;    // game-server address suffix
    CAnsiString loginKeyPre; // game-server address prefix
};

// The game web window: the browser and the toolbar buttons, in the login layout (a transparent panel over the main
// window's skin) or the game layout (the game's own window with a self-drawn frame, filling the work area or its
// restore rectangle). Its owner (the main window) hands it its addresses at construction, creates it from template
// 130 and, to go back to the login layout, destroys the window and creates it again on the same object. The web
// window reaches its owner only through CWebWindowOwner, handed over at construction; its buttons are its toolbar's.
class CDialogWeb : public CDialog, public CSoundPoints
{
public:
    enum
    {
        IDD = 130
    };

    CDialogWeb(CWebWindowOwner& owner, WebAddresses addresses);
    ~CDialogWeb() override;

    // Switches the layout; nothing when the window is in that layout already.
    void SetGameLayout(bool game);
    // Fits requested (screen coordinates) to the work area and moves the window there.
    void PlaceWindow(const RECT& requested);
    // Maximises or restores the game window.
    void ToggleMaximised();
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
    const WebAddresses& Addresses() const { return m_addresses; }
    CWebToolbar& Toolbar() { return m_toolbar; }

    CWebBrowser m_browser;
    CDlgVolume m_dlgVolume{*this};

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}     // Enter does nothing
    void OnCancel() override {} // nor do Escape and a close request

    LRESULT OnGamePageLoaded(WPARAM, LPARAM)
    {
        m_owner.GamePageReached();
        return 0;
    }
    LRESULT OnWebPageLoaded(WPARAM, LPARAM);
    LRESULT OnShowOfflinePage(WPARAM, LPARAM);
    void OnSize(UINT type, int cx, int cy);
    void OnMove(int x, int y);
    void OnShowWindow(BOOL show, UINT status);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC) { return TRUE; } // everything is drawn in OnPaint
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    LRESULT OnNcHitTest(POINT point);
    BOOL OnSetCursor(HWND hwnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonDblClk(UINT flags, POINT point);
    // The commands of the buttons (and of the three no control issues). A site page button opens its page; false
    // for any other command.
    bool OnSitePage(UINT id);
    void OnMin() { m_owner.Minimise(); } // the web window goes and comes back with the main window, its owner
    void OnExit();
    void OnMax() { ToggleMaximised(); }
    void OnRefresh() { m_browser.Refresh(); }
    void OnClear();
    void OnVolume();
    void OnSettings() { m_dlgVolume.DoModal(); }

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
    // The layered style and its colour key in the login layout, none in the game layout.
    void ApplyLayeredStyle();
    // Paints centre (client coordinates) black where no browser covers it.
    void PaintCentre(HDC dc, const RECT& centre);
    bool InTitleBand(POINT point) const;

    CWebWindowOwner& m_owner;
    WebAddresses m_addresses;
    CWebToolbar m_toolbar{m_owner};
    bool m_bGameLayout = false;
    bool m_bMaximised = true;
    bool m_bSoundOn = true;
    CSkinFrame m_frame; // the game layout's frame
    POINT m_ptSoundOn = {0, 0};
    POINT m_ptSoundOff = {0, 0};
    RECT m_rcMin = {};
    RECT m_rcRestore = {};
    std::string m_strTitle;
    COfflinePageSwitch m_offlinePage; // the page WM_SHOW_OFFLINE_PAGE shows
    COLORREF m_crKey = RGB(0, 0, 255);
};
