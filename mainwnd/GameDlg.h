#pragma once

#include "framework/Dialog.h"
#include "framework/Surface.h"
#include "mainwnd/core/GameTables.h"
#include "skin/MyBitmap.h"
#include "skin/core/AniFile.h"
#include "webwnd/DialogWeb.h"

class CGameDlg;
// The one main window, for the windows that need it.
extern CGameDlg* g_pGameDlg;

// The client's main window: the modal dialog whose end ends the process. In login mode it is the skinned,
// per-pixel-transparent login screen with the web window over it; in game mode it shrinks to 10 x 10 pixels under
// the game window's corner. It owns everything read at start-up, and the web window.
class CGameDlg : public CDialog
{
public:
    enum
    {
        IDD = 102
    };

    CGameDlg();
    ~CGameDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override {} // Enter never ends the main window

    // Login mode (false) or game mode (true).
    void SetGameMode(bool game);
    // From the game window back to the login screen: the web window is made anew. Only in game mode.
    void ReturnToLogin();
    bool IsGameMode() const { return m_bGameMode; }

    // The layout and resolution documents into the tables, then the site-address document.
    void LoadLayouts();
    void LoadSiteUrls();

    const LayoutRect* FindLayout(const char* name) const { return m_tables.FindLayout(name); }
    int LookupScreenSize(int size, bool width) const { return m_tables.LookupScreenSize(size, width); }
    const CAnsiString& GetSiteUrl(int kind) const { return m_tables.GetSiteUrl(kind); }
    // Opens the site address of a kind (SiteUrlKind) in the user's own web browser; "null" in any case opens nothing.
    void OpenSiteUrl(int kind) const;
    const CGameTables& Tables() const { return m_tables; }
    const CAniFile& AniFile() const { return m_aniFile; }

    // The login picture of a width x height window, ready for the layered window: image 129's shape with image
    // 205's colours (merged into the skin's image, which keeps them), drawn over a transparent surface at the client
    // area's size and premultiplied. False when an image cannot be had.
    bool ComposeLoginPicture(int width, int height, CDibSurface& surface);

    CDialogWeb m_dlgWeb;

protected:
    // The login picture composed for the window's size and pushed to the layered window; its buttons take their
    // backgrounds from it. Nothing in game mode.
    void ComposeBackground();
    // Keeps the web window at its place over the login picture.
    void FollowMainWindow();

    // Validates the update region, then ComposeBackground.
    void OnPaint();
    void OnMove(int x, int y);
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, POINT point);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);

    DECLARE_MESSAGE_MAP()

private:
    CAniFile m_aniFile;
    CGameTables m_tables;
    HICON m_hIcon = nullptr;
    CMyBitmap m_bgSkin;       // "Bg", single image: the login picture
    CMyBitmap m_webFrameSkin; // "WebFrame", nine-grid: attached, never drawn
    bool m_bGameMode = false;
    bool m_bMinimised = false;
};
