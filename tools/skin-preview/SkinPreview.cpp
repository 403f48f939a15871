// A window that shows the skin as the client uses it: the game window's nine-grid frame with its title and
// title-bar buttons, and every button image set in its three states (normal, pressed, hover), each painted by
// a real skinned button over the background it captured. scripts/skin-preview.sh runs it and takes a screenshot.
#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

#include "framework/Dc.h"
#include "framework/Scoped.h"
#include "skin/core/AniFile.h"
#include "skin/MyBitmap.h"
#include "skin/MyBitmapButton.h"

namespace
{

struct ButtonSet
{
    const wchar_t* label;
    UINT normal, pressed, hover;
    int width, height;
};

// Every image set the client's buttons use, at the size the client gives them.
const ButtonSet kSets[] = {
    {L"Official (login)", 136, 137, 138, 63, 64},
    {L"Forum (login)", 148, 149, 150, 65, 64},
    {L"Custom (login)", 139, 140, 141, 69, 64},
    {L"Pay (login)", 130, 131, 132, 101, 101},
    {L"Min (login)", 142, 143, 144, 35, 15},
    {L"Exit (login)", 133, 134, 135, 37, 15},
    {L"Official (game)", 215, 216, 217, 38, 18},
    {L"Forum (game)", 212, 213, 214, 38, 18},
    {L"Custom (game)", 209, 210, 211, 38, 18},
    {L"Pay (game)", 206, 207, 208, 38, 18},
    {L"Refresh", 191, 192, 193, 38, 18},
    {L"Clear cache", 194, 195, 196, 50, 18},
    {L"Min (game)", 172, 173, 174, 29, 25},
    {L"Max", 175, 176, 177, 27, 25},
    {L"Restore", 179, 180, 181, 27, 25},
    {L"Exit (game)", 169, 170, 171, 29, 25},
    {L"Speaker off", 185, 186, 187, 25, 22},
    {L"Speaker on", 188, 189, 190, 25, 22},
    {L"Icon", 178, 0, 0, 24, 24},
};

// Title-bar buttons of the game layout: image set, distance of the left edge from the right edge, top, size.
struct TitleButton
{
    UINT normal, pressed, hover;
    int fromRight, y, width, height;
};
const TitleButton kTitleButtons[] = {
    {206, 207, 208, 357, 6, 38, 18}, {215, 216, 217, 315, 6, 38, 18}, {212, 213, 214, 273, 6, 38, 18},
    {209, 210, 211, 231, 6, 38, 18}, {194, 195, 196, 189, 6, 50, 18}, {191, 192, 193, 135, 6, 38, 18},
    {172, 173, 174, 92, 3, 29, 25},  {179, 180, 181, 61, 3, 27, 25},  {169, 170, 171, 32, 3, 29, 25},
};

const int kWidth = 900;
const int kHeight = 640;

class CPreviewWnd : public CWnd
{
public:
    void Build()
    {
        m_frames.LoadFromText("[Toolbar]\r\nFrameAmount=9\r\nFrame0=151\r\nFrame1=152\r\nFrame2=153\r\nFrame3=154\r\n"
                              "Frame4=155\r\nFrame5=156\r\nFrame6=157\r\nFrame7=158\r\nFrame8=159\r\n");
        m_frame.SetFrames(CMyBitmap::ModeNineGrid, m_frames.GetFrames("Toolbar"));

        m_icon = AddButton(178, 0, 0, 5, 3, 24, 24);
        for (const TitleButton& b : kTitleButtons)
            AddButton(b.normal, b.pressed, b.hover, kWidth - b.fromRight, b.y, b.width, b.height);

        int x = 20, y = 50, rowHeight = 0;
        for (const ButtonSet& set : kSets)
        {
            const int cell = 3 * (set.width + 8) + 12;
            if (x + std::max(cell, 150) > kWidth - 20)
            {
                x = 20;
                y += rowHeight + 30;
                rowHeight = 0;
            }
            m_labels.push_back({set.label, x, y});
            for (int state = 0; state < 3; ++state)
            {
                CMyBitmapButton* button = AddButton(set.normal, set.pressed, set.hover, x + state * (set.width + 8),
                                                    y + 16, set.width, set.height);
                if (state == 1)
                    button->SendMessage(BM_SETSTATE, TRUE); // pressed: the owner draw sees ODS_SELECTED
                else if (state == 2)
                    button->SendMessage(WM_MOUSEHOVER); // resting pointer
            }
            x += std::max(cell, 150);
            rowHeight = std::max(rowHeight, set.height + 16);
        }
    }

protected:
    void OnPaint()
    {
        CPaintDC paint(this);
        RECT client;
        GetClientRect(&client);
        CMemoryDC memory(paint);
        CBitmap bitmap(::CreateCompatibleBitmap(paint, client.right, client.bottom));
        CSelectObject selection(memory, bitmap.Get());

        // The page area under the frame, then the frame over the whole client area, then the title.
        CGdiObject<HBRUSH> page(::CreateSolidBrush(RGB(24, 28, 38)));
        ::FillRect(memory, &client, page);
        m_frame.Draw(client, memory);
        ::SetBkMode(memory, TRANSPARENT);
        ::SetTextColor(memory, RGB(235, 220, 170));
        RECT title = {38, 7, 538, 26};
        ::DrawTextW(memory, L"Lumora  —  skin preview", -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        ::SetTextColor(memory, RGB(200, 205, 215));
        for (const Label& label : m_labels)
            ::TextOutW(memory, label.x, label.y, label.text, static_cast<int>(wcslen(label.text)));

        for (auto& button : m_buttons)
            button->CaptureBackground(this, memory);
        ::BitBlt(paint, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        for (auto& button : m_buttons)
            button->Invalidate(FALSE);
    }

    DECLARE_MESSAGE_MAP()

private:
    struct Label
    {
        const wchar_t* text;
        int x, y;
    };

    CMyBitmapButton* AddButton(UINT normal, UINT pressed, UINT hover, int x, int y, int width, int height)
    {
        HWND hwnd = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, width, height,
                                      m_hWnd, nullptr, nullptr, nullptr);
        auto button = std::make_unique<CMyBitmapButton>();
        button->SubclassWindow(hwnd);
        button->SetImages(normal, pressed, hover);
        m_buttons.push_back(std::move(button));
        return m_buttons.back().get();
    }

    CAniFile m_frames;
    CMyBitmap m_frame;
    CMyBitmapButton* m_icon = nullptr;
    std::vector<std::unique_ptr<CMyBitmapButton>> m_buttons;
    std::vector<Label> m_labels;
};

BEGIN_MESSAGE_MAP(CPreviewWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY)
        ::PostQuitMessage(0);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CScopedGdiplus gdiplus;
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PreviewProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = L"LumoraSkinPreview";
        ::RegisterClassW(&wc);
        HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"Lumora skin preview", WS_POPUP | WS_VISIBLE, 20, 20,
                                      kWidth, kHeight, nullptr, nullptr, instance, nullptr);
        CPreviewWnd preview;
        preview.SubclassWindow(hwnd);
        preview.Build();
        preview.Invalidate();
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}
