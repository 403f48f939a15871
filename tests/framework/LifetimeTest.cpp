// A window object that outlives its window: a dialog that destroys itself and is created again on the same object,
// from inside one of its own handlers, as the client's web window is when it returns to the login screen. The
// program runs on a guarded heap, so that anything that touches memory freed with the old window crashes it.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "framework/Dialog.h"
#include "framework/OccManager.h"
#include "framework/Scoped.h"
#include "mainwnd/GameDlg.h"
#include "skin/MyBitmapButton.h"
#include "tests/support/DebugOutput.h"
#include "tests/framework/GuardedHeap.h"
#include "tests/doubles/OccTestControl.h"
#include "tests/support/OleForTests.h"
#include "tests/support/PumpUntil.h"

namespace
{

const UINT WM_TEST_RECREATE = WM_APP + 7;
const int kLeft = 300;
const int kTop = 200;

class CRecreatingDlg : public CDialog
{
public:
    CRecreatingDlg() : CDialog(300) {}

    BOOL Create() { return CDialog::Create(300); }

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, 1001, m_control);
        DDX_Control(pDX, 1002, m_button);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, kLeft, kTop, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        ++m_nWindows;
        return TRUE;
    }

    // Destroys the window and makes the next one from the template, before the handler returns.
    void Recreate()
    {
        DestroyWindow();
        Create();
    }
    LRESULT OnRecreate(WPARAM, LPARAM)
    {
        Recreate();
        return 0;
    }
    void OnButton() { Recreate(); }
    // A handler that asks for the default processing after making the window anew: the close request belongs to
    // the old window, and must not close the new one.
    void OnClose()
    {
        Recreate();
        CDialog::OnClose();
    }

    COleControlWnd m_control;
    CMyBitmapButton m_button;
    int m_nWindows = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecreatingDlg, CDialog)
ON_MESSAGE(WM_TEST_RECREATE, OnRecreate)
ON_BN_CLICKED(1002, OnButton)
ON_WM_CLOSE()
END_MESSAGE_MAP()

// Rests the pointer on the button and waits for the button's hover, then takes the pointer off it again.
bool HoverWorks(CMyBitmapButton& button)
{
    // A window just made may still be placed by the window manager: the pointer goes where the button is now, and
    // once more if it was moved away under it.
    bool hovered = false;
    RECT place = {};
    for (int attempt = 0; attempt < 3 && !hovered; ++attempt)
    {
        PumpUntil([] { return false; }, 100);
        button.GetWindowRect(&place);
        ::SetCursorPos(place.left + 5, place.top + 5);
        button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        hovered = PumpUntil([&] { return button.IsHovering(); }, 1000);
    }
    hovered = hovered && button.ChooseImage(0) == 208;
    ::SetCursorPos(place.left - 60, place.top + 5); // on the dialog, off the button
    PumpUntil([&] { return !button.IsHovering(); });
    return hovered;
}

class Lifetime : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_ole = std::make_unique<COleForTests>();
        AfxEnableControlContainer();
    }
    static void TearDownTestSuite() { s_ole.reset(); }
    void SetUp() override { ASSERT_TRUE(s_ole->Ok()); }

    static inline std::unique_ptr<COleForTests> s_ole;
};

} // namespace

TEST_F(Lifetime, TheHeapIsGuarded)
{
    // What the test below relies on: freed memory faults when touched.
    auto* probe = new int(5);
    EXPECT_TRUE(GuardedHeapIsLive(probe));
    delete probe;
    EXPECT_FALSE(GuardedHeapIsLive(probe));
}

TEST_F(Lifetime, DialogMadeAgainFromItsOwnHandlerStartsFresh)
{
    CRecreatingDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.m_button.SetImages(206, 207, 208);
    const HWND firstWindow = dlg.m_hWnd;
    const HWND firstButton = dlg.m_button.m_hWnd;
    const occtest::CTestControl* firstControl = occtest::LastControl();
    ASSERT_NE(nullptr, firstControl);
    ASSERT_NE(nullptr, dlg.m_pCtrlCont);
    const COleControlContainer* firstContainer = dlg.m_pCtrlCont;
    EXPECT_TRUE(HoverWorks(dlg.m_button));

    // Hovering, with a background captured, when the window goes.
    RECT place;
    dlg.m_button.GetWindowRect(&place);
    ::SetCursorPos(place.left + 5, place.top + 5);
    dlg.m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_button.IsHovering(); }));
    {
        CClientDC dc(&dlg);
        dlg.m_button.CaptureBackground(&dlg, dc);
    }

    dlg.PostMessage(WM_TEST_RECREATE);
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_nWindows == 2; }));
    EXPECT_FALSE(::IsWindow(firstWindow));
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));

    // The new window's own button, container and control; the button starts outside.
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, 1002), dlg.m_button.m_hWnd);
    EXPECT_NE(firstButton, dlg.m_button.m_hWnd);
    EXPECT_FALSE(dlg.m_button.IsHovering());
    EXPECT_EQ(206u, dlg.m_button.ChooseImage(0)); // the images are the object's, and stay
    ASSERT_NE(nullptr, dlg.m_pCtrlCont);
    EXPECT_NE(firstContainer, dlg.m_pCtrlCont);
    EXPECT_FALSE(GuardedHeapIsLive(firstContainer));
    EXPECT_NE(firstControl, occtest::LastControl());
    ASSERT_NE(nullptr, dlg.m_control.ControlSite());
    EXPECT_EQ(dlg.m_pCtrlCont->FindSite(1001), dlg.m_control.ControlSite());

    // Hover works again, on the new button.
    EXPECT_TRUE(HoverWorks(dlg.m_button));

    // Made again from a click of its own button: the click's handling in the old button ends without reaching the
    // new one.
    const HWND secondButton = dlg.m_button.m_hWnd;
    ::SendMessageW(secondButton, BM_CLICK, 0, 0);
    EXPECT_EQ(3, dlg.m_nWindows);
    EXPECT_FALSE(::IsWindow(secondButton));
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, 1002), dlg.m_button.m_hWnd);
    EXPECT_EQ(0, static_cast<int>(::SendMessageW(dlg.m_button.m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED));
    EXPECT_TRUE(HoverWorks(dlg.m_button));

    // Made again from a close request whose handler then asks for the default processing.
    const HWND thirdWindow = dlg.m_hWnd;
    dlg.SendMessage(WM_CLOSE);
    EXPECT_EQ(4, dlg.m_nWindows);
    EXPECT_FALSE(::IsWindow(thirdWindow));
    int rounds = 0;
    PumpUntil([&] { return ++rounds > 10; }); // whatever the close request would have posted
    EXPECT_TRUE(dlg.IsWindowVisible()) << "the old window's close request reached the new one";

    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.m_pCtrlCont);
    EXPECT_EQ(0u, GuardedHeapOverflows());
}

TEST_F(Lifetime, ADialogObjectDeletedBeforeItsWindowSaysSoAndLetsGo)
{
    // Its window is its owner's to destroy. An object deleted first neither destroys the window from its destructor
    // (whose last messages would reach an object half gone) nor leaves it pointing at freed memory: it says so on
    // the debugger's channel, lets go of its controls and gives the window back its own procedure.
    auto* dlg = new CRecreatingDlg;
    ASSERT_TRUE(dlg->Create());
    const HWND window = dlg->m_hWnd;
    const HWND button = dlg->m_button.m_hWnd;
    const std::string said = DebugOutputDuring([&] { delete dlg; });
    EXPECT_NE(std::string::npos, said.find("dialog object was deleted before its window was destroyed")) << said;
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_EQ(nullptr, occtest::LastControl()) << "the hosted control is let go with the object";

    // Messages that the object's map would have taken now touch nothing freed (the heap is guarded).
    ::SendMessageW(window, WM_TEST_RECREATE, 0, 0);
    ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::DestroyWindow(window));
    EXPECT_EQ(0u, GuardedHeapOverflows());
}

// The main window's members die in the reverse order of their declaration. The web window (whose frame points into
// the "Toolbar" frame list and which asks the tables) and the skin bitmaps must die before the frame lists and the
// tables they point into, so those are declared first.
TEST(MainWindowMembers, WhatPointsIntoTheFrameListsAndTablesDiesFirst)
{
    auto dlg = std::make_unique<CGameDlg>();
    const auto address = [](const void* member) { return reinterpret_cast<uintptr_t>(member); };
    EXPECT_GT(address(&dlg->m_dlgWeb), address(&dlg->AniFile()));
    EXPECT_GT(address(&dlg->m_dlgWeb), address(&dlg->Tables()));
}
