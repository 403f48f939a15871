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
#include "tests/framework/PumpUntil.h"
#include "tests/framework/TestWindows.h"

inline bool IsLayered(HWND hwnd)
{
    return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

inline std::wstring LoadWide(UINT id)
{
    return AfxWide(AfxLoadString(id).c_str());
}

// What the screen shows in a rectangle (screen coordinates), as 0x00RRGGBB pixels.
class CScreenPixels
{
public:
    explicit CScreenPixels(const RECT& r) : m_rect(r)
    {
        const int width = r.right - r.left, height = r.bottom - r.top;
        if (!m_surface.Create(width, height))
            return;
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(m_surface, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
    }
    // The pixel at screen point x, y, which must lie inside the rectangle.
    DWORD At(int x, int y) const { return m_surface.Pixels().Row(y - m_rect.top)[x - m_rect.left] & 0xFFFFFF; }
    // Pixels inside r (screen coordinates, cut to the rectangle) for which match holds.
    template <class Match> int Count(const RECT& r, Match match) const
    {
        int count = 0;
        for (LONG y = std::max(r.top, m_rect.top); y < std::min(r.bottom, m_rect.bottom); ++y)
            for (LONG x = std::max(r.left, m_rect.left); x < std::min(r.right, m_rect.right); ++x)
                count += match(At(x, y)) ? 1 : 0;
        return count;
    }

private:
    RECT m_rect;
    CDibSurface m_surface;
};

inline bool IsKeyBlue(DWORD pixel)
{
    return pixel == 0x0000FF;
}

// What the application starts before its windows: OLE, GDI+, and the control container with the client's site and
// external object.
class ClientServices : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_ole = std::make_unique<CScopedOle>();
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

    static inline std::unique_ptr<CScopedOle> s_ole;
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
