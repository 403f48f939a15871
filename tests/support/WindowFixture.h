#pragma once

// The main window and the game web window made in the test's own process as the application makes them: GDI+, the
// client's control-container manager with its external object, and the client's resources linked into the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <ostream>

#include "framework/OccManager.h"
#include "framework/Rects.h"
#include "framework/Scoped.h"
#include "framework/Surface.h"
#include "framework/Text.h"
#include "host/CustomOccManager.h"
#include "host/ImpIDispatch.h"
#include "mainwnd/GameDlg.h"
#include "res/resource.h"
#include "tests/support/OleForTests.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/Screen.h"
#include "tests/support/TestWindows.h"

inline bool IsLayered(HWND hwnd)
{
    return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

inline std::wstring LoadWide(UINT id)
{
    return AfxWide(AfxLoadString(id).c_str());
}

// The web window's laid-out buttons and their layout rectangles, in each layout.
struct ButtonPlace
{
    int id;
    const char* name;
};
inline const ButtonPlace kLoginButtons[] = {
    {IDC_BTN_OFFICIAL, "Official"}, {IDC_BTN_FORUM, "Forum"}, {IDC_BTN_PAY, "Pay"},
    {IDC_BTN_CUSTOM, "Custom"},     {IDC_BTN_MIN, "Min"},     {IDC_BTN_EXIT, "Exit"},
};
inline const ButtonPlace kGameButtons[] = {
    {IDC_BTN_OFFICIAL, "Official_L"}, {IDC_BTN_FORUM, "Forum_L"}, {IDC_BTN_PAY, "Pay_L"}, {IDC_BTN_CUSTOM, "Custom_L"},
    {IDC_BTN_MIN, "Min_L"},           {IDC_BTN_EXIT, "Exit_L"},   {IDC_BTN_MAX, "Max_L"}, {IDC_BTN_ICON, "Icon_L"},
    {IDC_BTN_REFRESH, "Refresh_L"},   {IDC_BTN_CLEAR, "Clear_L"},
};

// The skinned button bound to a control of the web window.
inline const CMyBitmapButton* ButtonOf(HWND web, int id)
{
    return dynamic_cast<const CMyBitmapButton*>(CWnd::FromHandlePermanent(::GetDlgItem(web, id)));
}

// Colours equal but for the rounding of blending and scaling.
inline bool Near(DWORD a, DWORD b, int tolerance = 2)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

inline bool IsKeyBlue(DWORD pixel)
{
    return pixel == 0x0000FF;
}

// What the application starts before its windows: OLE, GDI+, and the control container with the client's site and
// external object; and the tests' own controls, which a fixture may put in the browser's place.
class ClientServices : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_ole = std::make_unique<COleForTests>();
        s_gdiplus = std::make_unique<CScopedGdiplus>();
        s_external = std::make_unique<CImpIDispatch>();
        s_manager = std::make_unique<CCustomOccManager>(s_external.get());
        AfxEnableControlContainer(s_manager.get());
    }
    static void TearDownTestSuite()
    {
        AfxEnableControlContainer();
        s_manager.reset();
        s_external.reset();
        s_gdiplus.reset();
        s_ole.reset();
    }

    void SetUp() override { ASSERT_TRUE(s_ole->Ok()); }

    static inline std::unique_ptr<COleForTests> s_ole;
    static inline std::unique_ptr<CScopedGdiplus> s_gdiplus;
    static inline std::unique_ptr<CImpIDispatch> s_external;
    static inline std::unique_ptr<CCustomOccManager> s_manager;
};

// The two windows made as the application makes them.
class GameWindow : public ClientServices
{
protected:
    void SetUp() override
    {
        ClientServices::SetUp();
        ASSERT_TRUE(m_dlg.Create(CGameDlg::IDD));
        ASSERT_TRUE(::IsWindow(Web()));
        Pump();
        // The real browser control cannot reach the start address here (the test prefix reaches no server): its
        // failure comes back at once, and the client's own page shows the browser. Tests start once that is done,
        // so that nothing of it arrives in their middle.
        if (HasRealBrowser())
        {
            ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(::GetDlgItem(Web(), IDC_BROWSER)) != FALSE; }, 10000))
                << "the start address's failure did not show the client's own page";
        }
    }
    // False in fixtures that put a control of their own in the browser's place.
    virtual bool HasRealBrowser() const { return true; }
    void TearDown() override { m_dlg.DestroyWindow(); }

    HWND Main() const { return m_dlg.m_hWnd; }
    HWND Web() const { return m_dlg.m_dlgWeb.m_hWnd; }
    CDialogWeb& Dialog() { return m_dlg.m_dlgWeb; }
    RECT Work() const { return AfxGetWorkArea(); }
    RECT Minimum() const { return ToRECT(RectOfLayout(*m_dlg.FindLayout("DlgWeb_Min"))); }

    void ToGame()
    {
        ::PostMessageW(Web(), WM_GAME_PAGE_LOADED, 0, 0);
        Pump();
    }

    CGameDlg m_dlg;
};
