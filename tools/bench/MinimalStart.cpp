// The baseline of the start-up benchmark: the work no client can skip before its first login frame, and nothing
// else. It decodes the same 1024 x 700 picture and shape, creates the platform's browser control hidden in a child
// window (through the same container the client uses) and navigates it, and pushes the picture to the screen as a
// per-pixel-alpha layered window. Its window is titled "Baseline"; Escape or a close request ends it.
#include <memory>

#include "core/Pixels.h"
#include "framework/Dialog.h"
#include "framework/OccManager.h"
#include "framework/Scoped.h"
#include "framework/Surface.h"
#include "framework/WinApp.h"
#include "host/WebBrowser.h"
#include "skin/ResourceImage.h"

namespace
{

class CBaselineDlg : public CDialog
{
public:
    CBaselineDlg() : CDialog(300) {}

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1001, m_browser); }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetWindowText("Baseline");
        VARIANT empty;
        ::VariantInit(&empty);
        try
        {
            m_browser.Navigate(CAnsiString("http://www.lumora.example/"), &empty, &empty, &empty, &empty);
        }
        catch (...)
        {
        }
        Push();
        return TRUE;
    }

private:
    void Push()
    {
        std::unique_ptr<Gdiplus::Bitmap> shape = LoadResourceImage(129, "PNG");
        std::unique_ptr<Gdiplus::Bitmap> colour = LoadResourceImage(205, "JPG");
        if (!shape || !colour)
            return;
        const int w = static_cast<int>(shape->GetWidth()), h = static_cast<int>(shape->GetHeight());
        CDibSurface surface;
        if (!surface.Create(w, h))
            return;
        // Shape and colour merged straight into the surface, premultiplied.
        {
            const PixelView pixels = surface.Pixels();
            Gdiplus::Bitmap target(w, h, pixels.stride * 4, PixelFormat32bppARGB,
                                   reinterpret_cast<BYTE*>(pixels.pixels));
            Gdiplus::Graphics(&target).DrawImage(shape.get(), 0, 0, w, h);
            Gdiplus::BitmapData data = {};
            Gdiplus::Rect all(0, 0, w, h);
            if (colour->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok)
            {
                MergeShapeAndColour(
                    pixels, ConstPixelView(static_cast<const uint32_t*>(data.Scan0), w, h, data.Stride / 4), w, h);
                colour->UnlockBits(&data);
            }
            Premultiply(pixels);
        }
        ModifyStyleEx(0, WS_EX_LAYERED);
        POINT position = {100, 100};
        SIZE size = {w, h};
        POINT origin = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::UpdateLayeredWindow(m_hWnd, nullptr, &position, &size, surface, &origin, 0, &blend, ULW_ALPHA);
        ShowWindow(SW_SHOW);
    }

    CWebBrowser m_browser;
};

class CBaselineApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        CScopedOle ole;
        CScopedGdiplus gdiplus;
        AfxEnableControlContainer();
        CBaselineDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
} theBaselineApp;

} // namespace
