// The game web window on its own, with a small owner of the test's own in the main window's place: what the window
// asks of its owner and what it tells it, for each of its two layouts and its commands.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/TextResource.h"
#include "framework/Rects.h"
#include "host/CustomOccManager.h"
#include "host/ImpIDispatch.h"
#include "mainwnd/core/GameTables.h"
#include "res/resource.h"
#include "skin/core/AniFile.h"
#include "tests/support/WindowFixture.h"
#include "webwnd/DialogWeb.h"

namespace
{

// The owner: the client's own tables, and a record of what it was told.
class CFakeOwner : public CWebWindowOwner
{
public:
    CFakeOwner()
    {
        std::string layout, resolution, animation;
        LoadTextResource(nullptr, IDR_LAYOUT_DOC, layout);
        LoadTextResource(nullptr, IDR_RESOLUTION_DOC, resolution);
        LoadTextResource(nullptr, IDR_ANIMATION_DOC, animation);
        m_tables.LoadLayouts(layout, resolution);
        m_frames.LoadFromText(animation.c_str());
    }

    const LayoutRect* FindLayout(const char* name) const override { return m_tables.FindLayout(name); }
    int LookupScreenSize(int size, bool width) const override { return m_tables.LookupScreenSize(size, width); }
    const FrameList* Frames(const char* section) const override
    {
        told.push_back(std::string("frames ") + section);
        return m_frames.GetFrames(section);
    }
    void OpenSitePage(SiteUrlKind kind) const override { told.push_back("open " + std::to_string(kind)); }
    void GamePageReached() override { told.push_back("game page"); }
    void WebPageReachedInGame() override { told.push_back("web page in the game"); }
    void WebWindowMoved(const Rect& window) override
    {
        told.push_back("moved");
        moved = window;
    }
    void Minimise() override { told.push_back("minimise"); }
    void Leave() override { told.push_back("leave"); }

    mutable std::vector<std::string> told;
    Rect moved;

private:
    CGameTables m_tables;
    CAniFile m_frames;
};

class WebWindow : public ClientServices
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.Create(CDialogWeb::IDD));
        m_web.ShowWindow(SW_SHOW);
        Pump();
        m_owner.told.clear();
    }
    void TearDown() override { m_web.DestroyWindow(); }

    void Command(int id) { ::SendMessageW(m_web.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    CFakeOwner m_owner;
    CDialogWeb m_web{m_owner, WebAddresses{}};
};

} // namespace

TEST_F(WebWindow, AsksItsOwnerForItsTablesAndFrame)
{
    // Made again, as its owner does on the way back to the login screen: it asks again.
    m_web.DestroyWindow();
    ASSERT_TRUE(m_web.Create(CDialogWeb::IDD));
    EXPECT_EQ(std::vector<std::string>{"frames Toolbar"}, m_owner.told);
    const LayoutRect* panel = m_owner.FindLayout("DlgWeb");
    ASSERT_NE(nullptr, panel);
    EXPECT_TRUE(Same(ToRECT(RectOfLayout(*panel)), WindowRect(m_web.m_hWnd))) << WindowRect(m_web.m_hWnd);
    EXPECT_TRUE(IsLayered(m_web.m_hWnd));
}

// The browser shows once its first page has completed, on every window made on the object (the owner makes it anew
// on the way back to the login screen). This window has no start address, so nothing but the test completes a page.
TEST_F(WebWindow, ItsBrowserWaitsForTheFirstPageOnEveryWindow)
{
    for (int window = 1; window <= 2; ++window)
    {
        SCOPED_TRACE(window);
        if (window == 2)
        {
            m_web.DestroyWindow();
            ASSERT_TRUE(m_web.Create(CDialogWeb::IDD));
            m_web.ShowWindow(SW_SHOW);
            Pump();
        }
        HWND browser = ::GetDlgItem(m_web.m_hWnd, IDC_BROWSER);
        ASSERT_TRUE(::IsWindow(browser));
        EXPECT_FALSE(::IsWindowVisible(browser));
        ::PostMessageW(m_web.m_hWnd, WM_WEB_PAGE_LOADED, 0, 0);
        Pump();
        EXPECT_TRUE(::IsWindowVisible(browser));
    }
}

TEST_F(WebWindow, TellsItsOwnerWhatTheBrowserReachedAndWhereTheGameWindowWent)
{
    // Login layout: a web page shows the browser and is the web window's own business; a game page is the owner's.
    ::PostMessageW(m_web.m_hWnd, WM_WEB_PAGE_LOADED, 0, 0);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(m_web.m_hWnd, IDC_BROWSER)));
    ::MoveWindow(m_web.m_hWnd, 50, 60, 684, 390, TRUE);
    ::PostMessageW(m_web.m_hWnd, WM_GAME_PAGE_LOADED, 0, 0);
    Pump();
    EXPECT_EQ(std::vector<std::string>{"game page"}, m_owner.told);
    EXPECT_FALSE(m_web.IsGameLayout()) << "the owner switches, not the window";

    // Game layout: every move is told, with the window's rectangle; a web page is the owner's.
    m_owner.told.clear();
    m_web.SetGameLayout(true);
    ASSERT_FALSE(m_owner.told.empty());
    EXPECT_EQ("moved", m_owner.told.back());
    EXPECT_TRUE(Same(ToRECT(m_owner.moved), WindowRect(m_web.m_hWnd))) << ToRECT(m_owner.moved);
    m_owner.told.clear();
    ::PostMessageW(m_web.m_hWnd, WM_WEB_PAGE_LOADED, 0, 0);
    Pump();
    EXPECT_EQ(std::vector<std::string>{"web page in the game"}, m_owner.told);
}

TEST_F(WebWindow, CommandsThatAreTheOwnersGoToIt)
{
    struct Case
    {
        int command;
        const char* told;
    } const cases[] = {
        {IDC_BTN_OFFICIAL, "open 0"}, {IDC_BTN_PAY, "open 1"},   {IDC_BTN_FORUM, "open 2"}, {IDC_BTN_CUSTOM, "open 3"},
        {IDC_BTN_REGIST, "open 8"},   {IDC_BTN_MIN, "minimise"}, {IDC_BTN_EXIT, "leave"}, // no question at login
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.told);
        m_owner.told.clear();
        Command(c.command);
        EXPECT_EQ(std::vector<std::string>{c.told}, m_owner.told);
    }
}
