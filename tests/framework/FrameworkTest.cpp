// The framework layer under Wine: message maps, the handler guard, dialogs, data exchange, the profile and
// the application's run.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/Dispatch.h"
#include "framework/LiveCounts.h"
#include "framework/Text.h"
#include "framework/WinApp.h"
#include "tests/support/DebugOutput.h"
#include "tests/support/TestWindows.h"

namespace
{

const UINT WM_TEST_STEP = WM_APP + 1;
const UINT WM_TEST_THROW = WM_APP + 2;

// The application object of this test program; AfxWinMain is driven by hand below.
class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp("FrameworkTests") {}
    BOOL InitInstance() override
    {
        ++initCount;
        return FALSE;
    }
    int ExitInstance() override
    {
        ++exitCount;
        return CWinApp::ExitInstance() + 7;
    }
    int initCount = 0;
    int exitCount = 0;
} g_app;

// Closes the first message box of this thread that shows up, and remembers its text and its caption.
class CMessageBoxAnswerer
{
public:
    explicit CMessageBoxAnswerer(HWND dialog) : m_thread(::GetCurrentThreadId()), m_dialog(dialog)
    {
        m_worker = std::thread([this] { Run(); });
    }
    ~CMessageBoxAnswerer() { Join(); }
    // The text of the box it closed; empty if none came within five seconds.
    std::wstring Join()
    {
        if (m_worker.joinable())
            m_worker.join();
        return text;
    }
    std::wstring Caption()
    {
        Join();
        return caption;
    }

private:
    std::wstring text;
    std::wstring caption;

    void Run()
    {
        for (int i = 0; i < 500 && text.empty(); ++i)
        {
            ::EnumThreadWindows(m_thread, &CMessageBoxAnswerer::Visit, reinterpret_cast<LPARAM>(this));
            ::Sleep(10);
        }
    }
    static BOOL CALLBACK Visit(HWND hwnd, LPARAM param)
    {
        auto* self = reinterpret_cast<CMessageBoxAnswerer*>(param);
        wchar_t className[32] = {};
        ::GetClassNameW(hwnd, className, 32);
        if (hwnd == self->m_dialog || std::wstring(className) != L"#32770" || !::IsWindowVisible(hwnd))
            return TRUE;
        wchar_t message[256] = {};
        ::GetDlgItemTextW(hwnd, 0xFFFF, message, 256);
        wchar_t title[256] = {};
        ::GetWindowTextW(hwnd, title, 256);
        self->caption = title;
        self->text = message[0] ? message : L"(no text)";
        ::PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    DWORD m_thread;
    HWND m_dialog;
    std::thread m_worker;
};

class CRecordingButton : public CBitmapButton
{
public:
    void DrawItem(DRAWITEMSTRUCT* item) override { drawnState = static_cast<int>(item->itemState); }
    int drawnState = -1;
};

class CTestDialog : public CDialog
{
public:
    explicit CTestDialog(CWnd* parent = nullptr) : CDialog(100, parent) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ++initCount;
        if (throwInInit)
            throw std::runtime_error("init");
        PostMessage(WM_TEST_STEP);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, 1002, button);
        DDX_Text(pDX, 1012, value);
    }

    LRESULT OnTestStep(WPARAM, LPARAM)
    {
        steps.push_back(static_cast<int>(value));
        if (script)
            script(*this);
        return 0;
    }
    LRESULT OnTestThrow(WPARAM, LPARAM) { throw std::runtime_error("handler"); }
    // With throwInHandlers: a failing call into a control, as a refused dispatch call throws it.
    LRESULT OnNcHitTest(POINT point)
    {
        if (throwInHandlers)
            throw COleDispatchException(DISP_E_MEMBERNOTFOUND, "no such member");
        return CDialog::OnNcHitTest(point);
    }
    BOOL OnEraseBkgnd(HDC dc)
    {
        if (throwInHandlers)
            throw std::runtime_error("erase");
        return CDialog::OnEraseBkgnd(dc);
    }
    void OnSize(UINT type, int cx, int cy)
    {
        sizes.push_back(cx);
        CDialog::OnSize(type, cx, cy);
        (void)cy;
    }
    void OnCommand1002() { ++clicks; }

    int value = 5;
    int initCount = 0;
    int clicks = 0;
    bool throwInInit = false;
    bool throwInHandlers = false;
    std::vector<int> steps;
    std::vector<int> sizes;
    CRecordingButton button;
    void (*script)(CTestDialog&) = nullptr;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
ON_MESSAGE(WM_TEST_STEP, OnTestStep)
ON_MESSAGE(WM_TEST_THROW, OnTestThrow)
ON_WM_NCHITTEST()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_BN_CLICKED(1002, OnCommand1002)
END_MESSAGE_MAP()

} // namespace

TEST(Framework, ModelessDialogDispatchAndGuard)
{
    CTestDialog dialog;
    ASSERT_TRUE(dialog.Create(100));
    ASSERT_NE(nullptr, dialog.m_hWnd);
    EXPECT_EQ(&dialog, CWnd::FromHandlePermanent(dialog.m_hWnd));
    EXPECT_EQ(1, dialog.initCount);
    // Data exchange ran in the initialisation: the member's value is in the box, the button is bound.
    wchar_t text[16] = {};
    ::GetDlgItemTextW(dialog.m_hWnd, 1012, text, 16);
    EXPECT_STREQ(L"5", text);
    EXPECT_EQ(dialog.GetDlgItem(1002), dialog.button.m_hWnd);

    ::MoveWindow(dialog.m_hWnd, 0, 0, 300, 200, FALSE);
    ASSERT_FALSE(dialog.sizes.empty());
    RECT client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client.right, dialog.sizes.back());

    // A throwing handler is swallowed; the window goes on working.
    EXPECT_EQ(0, dialog.SendMessage(WM_TEST_THROW));
    ::SendMessageW(dialog.GetDlgItem(1002), BM_CLICK, 0, 0);
    EXPECT_EQ(1, dialog.clicks);

    // WM_DRAWITEM comes back to the owner-drawn button itself.
    ::ShowWindow(dialog.m_hWnd, SW_SHOW);
    ::UpdateWindow(dialog.m_hWnd);
    EXPECT_NE(-1, dialog.button.drawnState);

    HWND hwnd = dialog.m_hWnd;
    ::DestroyWindow(hwnd);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(nullptr, dialog.button.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hwnd));
}

// A handler that throws answers what leaves the window working, and a developer can read what was swallowed.
TEST(Framework, AThrowingHandlerAnswersItsNormalResultAndSaysWhat)
{
    CTestDialog dialog;
    ASSERT_TRUE(dialog.Create(100));
    dialog.throwInHandlers = true;
    HDC dc = ::GetDC(dialog.m_hWnd);
    struct Case
    {
        UINT message;
        WPARAM wParam;
        LRESULT expected;
        const char* said;
    } const cases[] = {
        {WM_NCHITTEST, 0, HTCLIENT,
         "the handler of message 0x0084 (wParam 0x0) threw COleDispatchException, HRESULT 0x80020003 (no such member)"},
        {WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), TRUE, "the handler of message 0x0014 (wParam 0x"},
        {WM_TEST_THROW, 7, 0, "the handler of message 0x8002 (wParam 0x7) threw std::exception (handler)"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.message);
        LRESULT result = -1;
        const LRESULT before = dialog.SendMessage(AfxLiveCountsMessage(), 2);
        const std::string said = DebugOutputDuring([&] { result = dialog.SendMessage(c.message, c.wParam); });
        EXPECT_EQ(c.expected, result);
        EXPECT_NE(std::string::npos, said.find(c.said)) << said;
        EXPECT_NE(std::string::npos, said.find("; swallowed")) << said;
        // Counted, and answered as the live counts are: a long run can tell that it swallowed nothing.
        EXPECT_EQ(before + 1, dialog.SendMessage(AfxLiveCountsMessage(), 2));
    }
    ::ReleaseDC(dialog.m_hWnd, dc);
    dialog.DestroyWindow();
}

TEST(Framework, OwnerDrawnChildWithoutIdStillDrawsItself)
{
    // WM_DRAWITEM's wParam is the control's id, which may be 0: only the item's type tells a menu apart.
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 60, nullptr, nullptr, nullptr, nullptr);
    CWnd parentWnd;
    ASSERT_TRUE(parentWnd.SubclassWindow(parent));
    HWND hwnd = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 5, 5, 40, 20, parent,
                                  nullptr, nullptr, nullptr);
    CRecordingButton button;
    ASSERT_TRUE(button.SubclassWindow(hwnd));
    ::ShowWindow(parent, SW_SHOWNOACTIVATE);
    ::UpdateWindow(parent);
    EXPECT_NE(-1, button.drawnState);
    ::DestroyWindow(parent);
    EXPECT_EQ(nullptr, parentWnd.m_hWnd);
}

TEST(Framework, ThrowingInitialisationStillCreatesTheDialog)
{
    CTestDialog dialog;
    dialog.throwInInit = true;
    ASSERT_TRUE(dialog.Create(100));
    EXPECT_EQ(1, dialog.initCount);
    EXPECT_TRUE(::IsWindow(dialog.m_hWnd));
    dialog.DestroyWindow();
}

TEST(Framework, ModalDialogReturnsItsResult)
{
    CTestDialog dialog;
    dialog.script = [](CTestDialog& d) { d.EndDialog(42); };
    EXPECT_EQ(42, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);

    CTestDialog cancelled;
    cancelled.script = [](CTestDialog& d) { d.PostMessage(WM_COMMAND, IDCANCEL); };
    EXPECT_EQ(IDCANCEL, cancelled.DoModal());
}

// The modal run disables the owner while it lasts and gives it back however the dialog ends: otherwise the window
// behind a closed dialog stays dead.
TEST(Framework, ModalRunGivesItsOwnerBack)
{
    static HWND ownerHwnd;
    ownerHwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40, 40, 200, 100, nullptr, nullptr, nullptr,
                                  nullptr);
    CWnd owner;
    ASSERT_TRUE(owner.SubclassWindow(ownerHwnd));

    enum End
    {
        ByOk,
        ByCancel,
        ByDestroyingTheWindow,
    };
    struct Case
    {
        End end;
        INT_PTR result;
    } const cases[] = {{ByOk, IDOK}, {ByCancel, IDCANCEL}, {ByDestroyingTheWindow, -1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.end);
        static End end;
        static bool ownerDisabled;
        static HWND dialogOwner;
        end = c.end;
        ownerDisabled = false;
        dialogOwner = nullptr;

        CTestDialog dialog(&owner);
        dialog.script = [](CTestDialog& d)
        {
            ownerDisabled = !::IsWindowEnabled(ownerHwnd);
            dialogOwner = ::GetWindow(d.m_hWnd, GW_OWNER);
            if (end == ByOk)
                d.PostMessage(WM_COMMAND, IDOK);
            else if (end == ByCancel)
                d.PostMessage(WM_COMMAND, IDCANCEL);
            else
                d.DestroyWindow();
        };
        EXPECT_EQ(c.result, dialog.DoModal());
        EXPECT_EQ(ownerHwnd, dialogOwner);
        EXPECT_TRUE(ownerDisabled) << "the owner must not take input while the dialog runs";
        EXPECT_TRUE(::IsWindowEnabled(ownerHwnd)) << "the owner must come back when the dialog ends";
    }
    ::DestroyWindow(ownerHwnd);
}

TEST(Framework, DataExchangeRefusesWhatIsNotAnInteger)
{
    struct Case
    {
        const wchar_t* text;
        bool accepted;
        int value;
    } const cases[] = {
        {L"17", true, 17},         {L"  -4 ", true, -4}, {L"+8", true, 8},     {L"2147483647", true, 2147483647},
        {L"", false, 0},           {L"abc", false, 0},   {L"12abc", false, 0}, {L"4 5", false, 0},
        {L"2147483648", false, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(AfxUtf8(c.text));
        static const Case* current;
        static std::wstring boxText;
        static std::wstring boxCaption;
        static bool stayedOpen;
        static bool focusInBox;
        current = &c;
        boxText.clear();
        stayedOpen = focusInBox = false;

        CTestDialog dialog;
        dialog.script = [](CTestDialog& d)
        {
            ::SetDlgItemTextW(d.m_hWnd, 1012, current->text);
            if (current->accepted)
            {
                d.OnOK();
            }
            else
            {
                CMessageBoxAnswerer answerer(d.m_hWnd);
                d.OnOK();
                boxText = answerer.Join();
                boxCaption = answerer.Caption();
            }
            stayedOpen = ::IsWindow(d.m_hWnd) && d.m_hWnd;
            focusInBox = ::GetFocus() == d.GetDlgItem(1012);
            if (!current->accepted)
                d.EndDialog(IDCANCEL);
        };
        const INT_PTR result = dialog.DoModal();
        if (c.accepted)
        {
            EXPECT_EQ(IDOK, result);
            EXPECT_EQ(c.value, dialog.value);
        }
        else
        {
            EXPECT_EQ(IDCANCEL, result);
            EXPECT_EQ(L"请输入一个整数。", boxText);
            EXPECT_EQ(L"FrameworkTests", boxCaption); // the application's name
            EXPECT_TRUE(stayedOpen);
            EXPECT_TRUE(focusInBox);
            EXPECT_EQ(5, dialog.value); // nothing stored
        }
    }
}

namespace
{

struct ShownBox
{
    std::wstring caption;
    std::wstring text;
};

// Starts a copy of the probe program named fileName, answers the message box it shows, and returns what the box
// showed.
ShownBox RunProbeAs(const std::wstring& fileName)
{
    std::wstring probe = L"Z:" + AfxWide(LUMORA_MESSAGEBOX_PROBE);
    for (wchar_t& c : probe)
        c = c == L'/' ? L'\\' : c;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lumora-probe-" + std::to_wstring(::GetTickCount());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"\\" + fileName;
    ShownBox shown;
    if (!::CopyFileW(probe.c_str(), exe.c_str(), FALSE))
    {
        ADD_FAILURE() << "cannot copy the probe: " << ::GetLastError();
        return shown;
    }

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &process))
    {
        ADD_FAILURE() << "CreateProcess failed: " << ::GetLastError();
        return shown;
    }
    HWND box = nullptr;
    for (int i = 0; i < 300 && !box; ++i)
    {
        ::Sleep(50);
        box = FindVisibleWindow(process.dwProcessId, [](HWND hwnd) { return ClassOf(hwnd) == L"#32770"; });
    }
    if (box)
    {
        shown.caption = TitleOf(box);
        wchar_t text[256] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 256);
        shown.text = text;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    else
    {
        ADD_FAILURE() << "the probe showed no message box";
    }
    if (::WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0)
    {
        ADD_FAILURE() << "the probe did not end";
        ::TerminateProcess(process.hProcess, 1);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ::DeleteFileW(exe.c_str());
    ::RemoveDirectoryW(folder.c_str());
    return shown;
}

} // namespace

// A message box's caption is the application's name: the base name of the executable the process started from,
// whatever the copy is called.
TEST(Framework, MessageBoxCaptionIsTheExecutablesName)
{
    struct Case
    {
        const wchar_t* fileName;
        const wchar_t* caption;
    } const cases[] = {
        {L"lumora.exe", L"lumora"},
        {L"Lumora Copy.v2.exe", L"Lumora Copy.v2"},
        {L"游戏登录器.exe", L"游戏登录器"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(AfxUtf8(c.fileName));
        const ShownBox shown = RunProbeAs(c.fileName);
        EXPECT_EQ(c.caption, shown.caption);
        EXPECT_EQ(L"请输入一个整数。", shown.text);
    }
}

TEST(Framework, ProfileValuesRoundTripUnderTheFullKey)
{
    CWinApp& app = *AfxGetApp();
    const std::string key = "C:\\Lumora Test\\" + std::to_string(::GetTickCount()) + "\\app.exe";
    EXPECT_EQ(9u, app.GetProfileInt("root", "shortCut", 9)); // no key yet: the default
    app.SetRegistryKey(AfxWide(key.c_str()));
    EXPECT_EQ(0u, app.GetProfileInt("root", "shortCut", 0));
    EXPECT_TRUE(app.WriteProfileInt("root", "shortCut", 1));
    EXPECT_EQ(1u, app.GetProfileInt("root", "shortCut", 0));

    // Stored exactly where other tools look for it: a REG_DWORD under the nested key.
    const std::wstring path = L"Software\\" + AfxWide(key.c_str()) + L"\\FrameworkTests\\root";
    DWORD value = 0, type = 0, size = sizeof value;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"shortCut", RRF_RT_ANY, &type, &value, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(1u, value);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + AfxWide(key.c_str())).c_str());
}

TEST(Framework, WinMainWithoutMessageLoopWhenInitialisationDeclines)
{
    const int result = AfxWinMain(::GetModuleHandleW(nullptr));
    EXPECT_EQ(1, g_app.initCount);
    EXPECT_EQ(1, g_app.exitCount);
    EXPECT_EQ(7, result);
    EXPECT_EQ("FrameworkTests", g_app.m_strAppName);
}
