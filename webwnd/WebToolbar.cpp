#include "webwnd/WebToolbar.h"

#include "framework/Rects.h"
#include "res/PictureIds.h"
#include "res/resource.h"

namespace
{

#define BUTTON_PICTURES(name)                                                                                          \
    {                                                                                                                  \
        IDB_##name##_NORMAL, IDB_##name##_PRESSED, IDB_##name##_HOVER                                                  \
    }

// The maximise button's pictures follow the window's state, in both layouts.
const ButtonImages kRestorePictures = BUTTON_PICTURES(RESTORE);
const ButtonImages kMaximisePictures = BUTTON_PICTURES(MAXIMISE);
const ButtonImages kIconPictures = {IDB_GAME_ICON, 0, 0};
// The sound switch: a speaker with sound waves, or crossed out.
const ButtonImages kSoundOnPictures = BUTTON_PICTURES(SOUND_ON);
const ButtonImages kSoundOffPictures = BUTTON_PICTURES(SOUND_OFF);

struct ButtonRow
{
    WebButton kind;
    int id;
    const char* loginRect;
    const char* gameRect;
    ButtonImages login;
    ButtonImages game;
    bool onFrame;
    int site; // a SiteUrlKind, or -1
};

// In the order the layout places them.
const ButtonRow kButtons[] = {
    {WebButton::Exit, IDC_BTN_EXIT, "Exit", "Exit_L", BUTTON_PICTURES(LOGIN_EXIT), BUTTON_PICTURES(GAME_EXIT), true,
     -1},
    {WebButton::Min, IDC_BTN_MIN, "Min", "Min_L", BUTTON_PICTURES(LOGIN_MIN), BUTTON_PICTURES(GAME_MIN), true, -1},
    {WebButton::Max, IDC_BTN_MAX, "Max", "Max_L", {}, {}, true, -1},
    {WebButton::Icon, IDC_BTN_ICON, "Icon", "Icon_L", kIconPictures, kIconPictures, true, -1},
    {WebButton::Official, IDC_BTN_OFFICIAL, "Official", "Official_L", BUTTON_PICTURES(LOGIN_OFFICIAL),
     BUTTON_PICTURES(GAME_OFFICIAL), false, SiteUrlOfficial},
    {WebButton::Forum, IDC_BTN_FORUM, "Forum", "Forum_L", BUTTON_PICTURES(LOGIN_FORUM), BUTTON_PICTURES(GAME_FORUM),
     false, SiteUrlForum},
    {WebButton::Pay, IDC_BTN_PAY, "Pay", "Pay_L", BUTTON_PICTURES(LOGIN_PAY), BUTTON_PICTURES(GAME_PAY), false,
     SiteUrlPay},
    {WebButton::Custom, IDC_BTN_CUSTOM, "Custom", "Custom_L", BUTTON_PICTURES(LOGIN_CUSTOM),
     BUTTON_PICTURES(GAME_CUSTOM), false, SiteUrlCustome},
    {WebButton::Refresh, IDC_BTN_REFRESH, "Refresh", "Refresh_L", BUTTON_PICTURES(REFRESH), BUTTON_PICTURES(REFRESH),
     true, -1},
    {WebButton::Clear, IDC_BTN_CLEAR, "Clear", "Clear_L", BUTTON_PICTURES(CLEAR), BUTTON_PICTURES(CLEAR), true, -1},
    {WebButton::Regist, IDC_BTN_REGIST, nullptr, nullptr, {}, {}, false, SiteUrlRegist},
    {WebButton::Volume, IDC_BTN_VOLUME, nullptr, nullptr, {}, {}, false, -1},
};
static_assert(sizeof(kButtons) / sizeof(kButtons[0]) == kWebButtonCount, "one row for each button");

#undef BUTTON_PICTURES

} // namespace

void CWebToolbar::Bind(CDataExchange* pDX)
{
    for (const ButtonRow& row : kButtons)
        DDX_Control(pDX, row.id, Button(row.kind));
}

void CWebToolbar::Layout(CWnd& window, bool game, bool maximised)
{
    // Every picture first, then every place.
    for (const ButtonRow& row : kButtons)
    {
        if (!row.gameRect)
            continue;
        ButtonImages images = game ? row.game : row.login;
        if (row.kind == WebButton::Max)
            images = maximised ? kRestorePictures : kMaximisePictures;
        Button(row.kind).SetImages(images.normal, images.pressed, images.hover);
    }
    RECT client;
    window.GetClientRect(&client);
    for (const ButtonRow& row : kButtons)
    {
        CMyBitmapButton& button = Button(row.kind);
        const LayoutRect* layout = row.gameRect ? m_owner.FindLayout(game ? row.gameRect : row.loginRect) : nullptr;
        if (!layout || !::IsWindow(button.m_hWnd))
            continue;
        const Rect place = ButtonRect(*layout, ToRect(client));
        button.MoveWindow(place.left, place.top, place.Width(), place.Height(), TRUE);
    }
}

void CWebToolbar::ApplyVisibility(bool game, bool withExitAndMin)
{
    for (const ButtonRow& row : kButtons)
    {
        CMyBitmapButton& button = Button(row.kind);
        const Visibility visibility = ButtonVisibility(row.kind, game, withExitAndMin);
        if (visibility != Visibility::Untouched && ::IsWindow(button.m_hWnd))
            button.ShowWindow(visibility == Visibility::Show ? SW_SHOW : SW_HIDE);
    }
}

void CWebToolbar::CaptureBackgrounds(CWnd* reference, HDC dc)
{
    for (const ButtonRow& row : kButtons)
    {
        if (row.gameRect)
            Button(row.kind).CaptureBackground(reference, dc);
    }
}

void CWebToolbar::CaptureFrameBackgrounds(CWnd* window, HDC dc)
{
    for (const ButtonRow& row : kButtons)
    {
        if (row.onFrame)
            Button(row.kind).CaptureBackground(window, dc);
    }
}

void CWebToolbar::ShowSound(bool on)
{
    const ButtonImages& images = on ? kSoundOnPictures : kSoundOffPictures;
    CMyBitmapButton& volume = Button(WebButton::Volume);
    volume.SetImages(images.normal, images.pressed, images.hover);
    volume.Invalidate(TRUE);
}

bool CWebToolbar::SitePage(unsigned id, SiteUrlKind& kind) const
{
    for (const ButtonRow& row : kButtons)
    {
        if (row.id == static_cast<int>(id) && row.site >= 0)
        {
            kind = static_cast<SiteUrlKind>(row.site);
            return true;
        }
    }
    return false;
}
