// The real client in a prefix where the web browser's class is not registered, so that its browser control cannot be
// made: it starts all the same, both layouts place and show every button as they always do, each button draws its
// picture, and the browser's area stays empty.
#include <gtest/gtest.h>

#include <windows.h>

#include <exdisp.h>

#include <set>

#include "framework/Rects.h"
#include "tests/support/ClientProcess.h"
#include "webwnd/core/WebLayout.h"

namespace
{

struct LaidOut
{
    int id;
    const char* login; // null: hidden in the login layout
    const char* game;
};
const LaidOut kButtons[] = {
    {IDC_BTN_EXIT, "Exit", "Exit_L"},
    {IDC_BTN_MIN, "Min", "Min_L"},
    {IDC_BTN_MAX, nullptr, "Max_L"},
    {IDC_BTN_ICON, nullptr, "Icon_L"},
    {IDC_BTN_OFFICIAL, "Official", "Official_L"},
    {IDC_BTN_FORUM, "Forum", "Forum_L"},
    {IDC_BTN_PAY, "Pay", "Pay_L"},
    {IDC_BTN_CUSTOM, "Custom", "Custom_L"},
    {IDC_BTN_REFRESH, nullptr, "Refresh_L"},
    {IDC_BTN_CLEAR, nullptr, "Clear_L"},
};

// How many colours the screen shows inside r: a button that draws its picture shows many, one that draws nothing
// shows what lies behind it.
size_t ColoursShown(const RECT& r)
{
    std::set<DWORD> colours;
    CScreenShot(r).Count(r, [&](DWORD p) { return colours.insert(p).second; });
    return colours.size();
}

// Every button of a layout at its rectangle, shown or hidden as the layout says, drawing its picture when shown.
void ExpectButtons(CClient& client, bool game)
{
    EXPECT_TRUE(WaitForButtonsPainted(client.Web())) << "the buttons' pictures";
    RECT area = {};
    ::GetClientRect(client.Web(), &area);
    for (const LaidOut& b : kButtons)
    {
        const char* name = game ? b.game : b.login;
        SCOPED_TRACE(name ? name : "hidden in the login layout");
        HWND button = ::GetDlgItem(client.Web(), b.id);
        ASSERT_TRUE(::IsWindow(button));
        EXPECT_EQ(name != nullptr, ::IsWindowVisible(button) != FALSE);
        if (!name)
            continue;
        const LayoutRect* layout = Tables().FindLayout(name);
        ASSERT_NE(nullptr, layout);
        EXPECT_TRUE(Same(ToRECT(ButtonRect(*layout, ToRect(area))), ChildRect(button))) << Text(ChildRect(button));
        EXPECT_GT(ColoursShown(WindowRect(button)), 4u) << "its picture";
    }
    for (int id : {IDC_BTN_REGIST, IDC_BTN_VOLUME})
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(client.Web(), id))) << id;
}

} // namespace

TEST(NoBrowser, TheClientStartsAndBothLayoutsPlaceEveryButton)
{
    // The prefix really has no browser class: the test would prove nothing otherwise.
    ::CoInitialize(nullptr);
    IUnknown* browser = nullptr;
    const HRESULT made = ::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                            reinterpret_cast<void**>(&browser));
    if (browser)
        browser->Release();
    ::CoUninitialize();
    ASSERT_EQ(REGDB_E_CLASSNOTREG, made);

    CClient client;
    ASSERT_TRUE(client.Started());
    EXPECT_EQ(nullptr, ::GetDlgItem(client.Web(), IDC_BROWSER));
    ExpectButtons(client, false);

    ASSERT_TRUE(client.PostToWeb(WM_GAME_PAGE_LOADED,
                                 [&] { return !(::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_LAYERED); }));
    ExpectButtons(client, true);

    const HWND gameWindow = client.Web();
    ASSERT_TRUE(client.PostToWeb(WM_WEB_PAGE_LOADED, [&] { return client.Web() != gameWindow; }));
    ExpectButtons(client, false);

    ::PostMessageW(client.Main(), WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(client.Ended(code));
    EXPECT_EQ(0u, code);
}
