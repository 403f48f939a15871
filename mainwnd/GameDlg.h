#pragma once

#include <memory>

#include "framework/Dialog.h"
#include "framework/Surface.h"
#include "mainwnd/core/GameTables.h"
#include "skin/MyBitmap.h"
#include "skin/core/AniFile.h"
#include "webwnd/DialogWeb.h"

// The client's main window: the modal dialog whose end ends the process. In login mode it is the skinned,
// per-pixel-transparent login screen with the web window over it; in game mode it shrinks to 10 x 10 pixels under
// the game window's corner. It owns everything read at start-up, and the web window, which it serves as its owner:
// the switches between the modes, and which window follows which, are decided here.
class CGameDlg : public CDialog, public CWebWindowOwner
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
    // The mode is the web window's layout: one record, kept by the window it concerns.
    bool IsGameMode() const { return m_dlgWeb.IsGameLayout(); }

    // The layout and resolution documents into the tables.
    void LoadLayouts();

    const CAnsiString& GetSiteUrl(int kind) const { return m_tables.GetSiteUrl(kind); }
    // Opens the site address of a kind (SiteUrlKind) in the user's own web browser; "null" in any case opens nothing.
    void OpenSiteUrl(int kind) const;

    // What the web window asks of its owner, and tells it.
    const LayoutRect* FindLayout(const char* name) const override { return m_tables.FindLayout(name); }
    int LookupScreenSize(int size, bool width) const override { return m_tables.LookupScreenSize(size, width); }
    const FrameList* Frames(const char* section) const override { return m_aniFile.GetFrames(section); }
    void OpenSitePage(SiteUrlKind kind) const override { OpenSiteUrl(kind); }
    void GamePageReached() override { SetGameMode(true); }
    void WebPageReachedInGame() override { ReturnToLogin(); }
    void WebWindowMoved(const Rect& window) override;
    void Minimise() override { ShowWindow(SW_SHOWMINIMIZED); }
    void Leave() override { OnCancel(); }
    const CGameTables& Tables() const { return m_tables; }
    const CAniFile& AniFile() const { return m_aniFile; }

    // The login picture for a width x height window, ready for the layered window: the outline's shape
    // (IDB_LOGIN_OUTLINE) with the colours (IDB_LOGIN_COLOURS), premultiplied, never scaled: the part of it from where
    // the window's corner lies in it (the whole picture, but on a screen smaller than the picture). Made from the
    // images decoded while the window started, or decoded anew; nothing of it is kept. False when an image cannot be
    // had.
    bool ComposeLoginPicture(int width, int height, CDibSurface& surface);
    // Whether anything of the login picture is held now: only between the decoding for the window's size and the push
    // that follows it.
    bool HoldsLoginPicture() const { return m_images.shape || m_images.colour; }

private:
    // The site-address document into the tables, read while the window object is made: the web window is handed its
    // addresses at construction.
    WebAddresses LoadSiteUrls();

    // What the web window and the skin bitmaps point into: declared first, so that they die last (and so that the
    // tables exist when the web window is constructed from them).
    CAniFile m_aniFile;
    CGameTables m_tables;

public:
    CDialogWeb m_dlgWeb;

protected:
    // The login picture composed for the window's size and pushed to the layered window; its buttons take their
    // backgrounds from it. Nothing in game mode.
    void ComposeBackground();
    // Login mode: keeps the web window at its place over the login picture. (In game mode this window follows the web
    // window instead: WebWindowMoved.)
    void FollowMainWindow();

    // Validates the update region; pushes the picture again only when the last push could not be made. A layered
    // window that was given its picture with UpdateLayeredWindow is drawn by the system from its own copy, and its
    // owner is not asked to paint it again (nor does Wine ask, on a restore or a cover).
    void OnPaint();
    void OnMove(int x, int y);
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, POINT point);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);

    DECLARE_MESSAGE_MAP()

private:
    HICON m_hIcon = nullptr;
    CMyBitmap m_bgSkin; // "Bg", single image: the login picture's shape, decoded for each push, never kept

    // The login picture's two images, decoded: its shape (alpha) and its colours. Each push decodes them and lets them
    // go: the layered window keeps what it was given.
    struct LoginImages
    {
        std::unique_ptr<Gdiplus::Bitmap> shape, colour;
    };
    // Both images, side by side (the colours on a thread of the process's pool) or one after the other; a member
    // stays null when its image cannot be had.
    static LoginImages DecodeLoginImages(const CMyBitmap& shapeSkin, bool sideBySide);
    // The images for a push: those decoded for the window's size, or decoded now.
    LoginImages TakeLoginImages();
    // The login window's picture size (the outline's); false when the image cannot be had.
    bool LoginPictureSize(SIZE& size);

    LoginImages m_images;         // decoded for the picture's size, for the push that follows
    bool m_decodedBefore = false; // the start's decoding is done
    SIZE m_loginSize = {};        // the picture's size, once known
    // Where the window's top-left corner lies in the login picture: (0, 0) but on a screen that cuts the picture.
    POINT m_pictureOffset = {};
    bool m_pushPending = false; // the last push could not be made; the next paint tries again
    CMyBitmap m_webFrameSkin;   // "WebFrame", nine-grid: attached, never drawn
    bool m_bMinimised = false;
};
