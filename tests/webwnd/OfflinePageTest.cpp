// The client's own page for a server that cannot be reached, in the test's own process: a control of the test's own
// in the browser's place records where the web window sends it, and fires the browser's NavigateError at it.
#include "tests/support/WindowFixture.h"

#include <exdisp.h>
#include <exdispid.h>

#include <string>
#include <vector>

#include "framework/ModulePath.h"
#include "framework/Text.h"
#include "res/resource.h"
#include "tests/doubles/OccTestControl.h"
#include "webwnd/core/OfflinePage.h"

namespace
{

class OfflinePage : public GameWindow
{
protected:
    bool HasRealBrowser() const override { return false; }
    void SetUp() override
    {
        ASSERT_EQ(S_OK, occtest::RegisterAsBrowser());
        GameWindow::SetUp();
        ASSERT_NE(nullptr, occtest::LastControl());
    }
    void TearDown() override
    {
        GameWindow::TearDown();
        occtest::RevokeBrowser();
    }

    // The control's NavigateError for address with a status (by default: the server's name cannot be found), from
    // the control itself or from a frame of its page; whether the web window cancelled the control's own error page.
    bool FireNavigateError(const std::wstring& address, IDispatch* from = nullptr,
                           long code = static_cast<long>(0x800C0005)) // INET_E_RESOURCE_NOT_FOUND
    {
        occtest::CTestControl* control = occtest::LastControl();
        VARIANT url, frame, status, browser, cancelArg;
        for (VARIANT* v : {&url, &frame, &status, &browser, &cancelArg})
            ::VariantInit(v);
        url.vt = VT_BSTR;
        url.bstrVal = ::SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
        status.vt = VT_I4;
        status.lVal = code;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        browser.vt = VT_DISPATCH;
        browser.pdispVal = from ? from : control->Dispatch();
        const auto byRef = [](VARIANT* v)
        {
            VARIANT ref;
            ::VariantInit(&ref);
            ref.vt = VT_BYREF | VT_VARIANT;
            ref.pvarVal = v;
            return ref;
        };
        cancelArg.vt = VT_BYREF | VT_BOOL;
        cancelArg.pboolVal = &cancel;
        EXPECT_EQ(S_OK, control->Fire(DISPID_NAVIGATEERROR,
                                      {browser, byRef(&url), byRef(&frame), byRef(&status), cancelArg}));
        ::VariantClear(&url);
        Pump();
        return cancel != VARIANT_FALSE;
    }

    // The address of the last navigation the window asked of its control, and whether it kept it out of the
    // history.
    std::wstring LastNavigation(bool* noHistory = nullptr)
    {
        const occtest::CReceivedCall& call = occtest::LastControl()->m_lastCall;
        if (call.dispid != occtest::kDispNavigate || call.args.size() != 5)
            return std::wstring();
        if (noHistory)
            *noHistory = call.args[1].number == navNoHistory;
        return call.args[0].text;
    }

    static std::wstring PageFor(const std::string& failed)
    {
        return L"res://" + AfxGetModulePath().fullPath + L"/" + AfxWide(AfxLoadString(IDS_OFFLINE_PAGE).c_str()) +
               L"#" + AfxWide(FailedAddressFragment(failed, 4096).c_str());
    }
};

} // namespace

TEST_F(OfflinePage, InPlaceOfAPageThatCannotBeReachedInBothLayouts)
{
    // At the login screen: the control's own error page is cancelled, the window's own page goes in its place (kept
    // out of the history) and the browser shows, though no ordinary page has completed yet.
    const char login[] = "http://www.lumora.example/zrkpt/inlinelogin/?channelid=0";
    HWND browser = ::GetDlgItem(Web(), IDC_BROWSER);
    ASSERT_FALSE(::IsWindowVisible(browser));
    EXPECT_TRUE(FireNavigateError(AfxWide(login)));
    bool noHistory = false;
    EXPECT_EQ(PageFor(login), LastNavigation(&noHistory));
    EXPECT_TRUE(noHistory);
    EXPECT_TRUE(::IsWindowVisible(browser));
    EXPECT_FALSE(Dialog().IsGameLayout());

    // The page itself failing, a frame of a page failing, a server that answers with an error page of its own: the
    // control's own affair; nothing is navigated.
    occtest::LastControl()->m_lastCall = occtest::CReceivedCall();
    EXPECT_FALSE(FireNavigateError(PageFor(login)));
    EXPECT_FALSE(FireNavigateError(L"http://ads.example/frame.html", s_external.get()));
    EXPECT_FALSE(FireNavigateError(AfxWide(login), nullptr, 404));
    EXPECT_EQ(0, occtest::LastControl()->m_lastCall.dispid);

    // In the game: the game window stays, with the page in its browser.
    ToGame();
    ASSERT_TRUE(Dialog().IsGameLayout());
    const HWND game = Web();
    const char server[] = "http://s12.game.lumora.example/play.php?id=3";
    EXPECT_TRUE(FireNavigateError(AfxWide(server)));
    EXPECT_EQ(PageFor(server), LastNavigation());
    EXPECT_EQ(game, Web());
    EXPECT_TRUE(Dialog().IsGameLayout());
}

TEST_F(OfflinePage, BadAddressesStillGiveThePage)
{
    // Several thousand characters, Chinese ones among them (outside code page 1252): the page's address keeps within
    // what the control takes, and its Retry link leads to as much of the address as fits, whole characters only.
    std::wstring longAddress = L"http://www.lumora.example/";
    for (int i = 0; i < 3000; ++i)
        longAddress += i % 2 ? L"页" : L"x";
    EXPECT_TRUE(FireNavigateError(longAddress));
    const std::string page = AfxUtf8(LastNavigation().c_str());
    EXPECT_LE(page.size(), 2048u);
    const std::string retry = RetryTarget(page);
    ASSERT_GT(retry.size(), 26u);
    const std::string failed = AfxUtf8(longAddress.c_str());
    EXPECT_EQ(failed.substr(0, retry.size()), retry);

    // No address at all, or none that is text: nothing happens.
    occtest::LastControl()->m_lastCall = occtest::CReceivedCall();
    EXPECT_FALSE(FireNavigateError(L""));
    EXPECT_EQ(0, occtest::LastControl()->m_lastCall.dispid);
}
