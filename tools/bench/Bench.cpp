// The benchmark (scripts/bench.sh; not a test): each figure of the client beside a baseline measured in the same
// run, and their ratio.
// Each figure is measured in each of three runs of the whole table, and printed as the median of the three runs'
// medians, with the least and the most of all its samples beside it; so is its baseline.
//   start:          process start to the first login frame on the screen, against the minimal program
//                   (MinimalStart.cpp) that does the unavoidable part of that work; both with Wine's own browser
//                   control, in an offline prefix; 9 alternating starts a run.
//   login repaint:  one login picture for the layered window, from the merged picture the login screen holds, against
//                   one decode of picture 205 and one linear pass over its pixels.
//   picture again:  the merged login picture made anew on the way back from the game (the game lets it go), against
//                   the 30 ms a return may take for it.
//   game repaint:   one repaint of the game window with its buttons at the screen's size, against one blit of the
//                   whole window; then the window's own paint alone (the median of 9 runs of 10 repaints, beside as
//                   many blits), and its buttons against as many owner-drawn buttons that draw nothing (the cost of a
//                   child window's paint cycle itself).
//   size:           the release client with every resource, against the 1 MB target.
//   memory:         the running client's private memory in login and game mode, against the minimal program's; and
//                   after 50 login-game-login cycles, against the client's own after the first.
// Arguments: the release client, the minimal program; with --memory after them, only the memory in both modes (for a
// second screen); with --paints, only the repaints and the picture (in this process: a developer's quick look).
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "framework/OccManager.h"
#include "framework/Rects.h"
#include "framework/Scoped.h"
#include "framework/Surface.h"
#include "host/CustomOccManager.h"
#include "host/ImpIDispatch.h"
#include "mainwnd/GameDlg.h"
#include "res/PictureIds.h"
#include "skin/ResourceImage.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/TestWindows.h"

namespace
{

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The visible window of process pid with this title, or null.
HWND WindowOf(DWORD pid, const wchar_t* title)
{
    return FindVisibleWindow(pid, [&](HWND hwnd) { return TitleOf(hwnd) == title; });
}

SIZE_T PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    return memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
}

struct Run
{
    double startMs = -1;
    SIZE_T loginBytes = 0;
    SIZE_T gameBytes = 0;
};

// Starts exe and waits for the window that says its first frame is on the screen (titled shownTitle); for the
// client, also measures its memory in both modes. Ends the process.
Run StartAndMeasure(const std::wstring& exe, const wchar_t* shownTitle, bool client)
{
    Run run;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + exe + L"\"";
    const auto start = Clock::now();
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return run;
    HWND shown = nullptr;
    while (!shown && Ms(Clock::now() - start) < 20000)
    {
        shown = WindowOf(process.dwProcessId, shownTitle);
        if (!shown)
            ::Sleep(2);
    }
    if (shown)
        run.startMs = Ms(Clock::now() - start);
    ::Sleep(1500);
    run.loginBytes = PrivateBytes(process.hProcess);
    if (client && shown)
    {
        ::PostMessageW(shown, WM_GAME_PAGE_LOADED, 0, 0);
        for (int i = 0; i < 500 && (::GetWindowLongW(shown, GWL_EXSTYLE) & WS_EX_LAYERED); ++i)
            ::Sleep(10);
        ::Sleep(1500);
        run.gameBytes = PrivateBytes(process.hProcess);
    }
    // Ended as a user ends it.
    HWND main = client ? WindowOf(process.dwProcessId, L"Lumora") : shown;
    if (!main && client)
        main = ::GetWindow(shown, GW_OWNER);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return run;
}

// The private memory of the client after its first login-game-login cycle and after the last of cycles, driven as
// the navigation watch drives it (posted messages to the web window, which is made anew on each way back).
struct Cycles
{
    SIZE_T firstBytes = 0;
    SIZE_T lastBytes = 0;
    int done = 0;
};

Cycles CycleAndMeasure(const std::wstring& exe, int cycles)
{
    Cycles result;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return result;
    auto web = [&] { return WindowOf(process.dwProcessId, L"Web"); };
    auto layered = [](HWND hwnd) { return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; };
    auto waitFor = [](auto done)
    {
        for (int i = 0; i < 1000 && !done(); ++i)
            ::Sleep(10);
        return done();
    };
    for (int i = 0; i < cycles; ++i)
    {
        HWND login = nullptr;
        if (!waitFor([&] { return (login = web()) && layered(login); }))
            break;
        ::PostMessageW(login, WM_GAME_PAGE_LOADED, 0, 0);
        if (!waitFor([&] { return !layered(login); }))
            break;
        ::PostMessageW(login, WM_WEB_PAGE_LOADED, 0, 0); // back to the login screen, a new web window
        if (!waitFor(
                [&]
                {
                    HWND now = web();
                    return now && now != login && layered(now);
                }))
            break;
        ++result.done;
        if (i == 0)
        {
            ::Sleep(1000);
            result.firstBytes = PrivateBytes(process.hProcess);
        }
    }
    ::Sleep(1000);
    result.lastBytes = PrivateBytes(process.hProcess);
    if (HWND shown = web())
        ::PostMessageW(::GetWindow(shown, GW_OWNER), WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return result;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

template <class Work> double Average(int rounds, Work work)
{
    work(); // warm
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i)
        work();
    return Ms(Clock::now() - start) / rounds;
}

// runs averages of rounds each: single runs of a short paint vary by half.
template <class Work> std::vector<double> Averages(int runs, int rounds, Work work)
{
    std::vector<double> averages;
    for (int i = 0; i < runs; ++i)
        averages.push_back(Average(rounds, work));
    return averages;
}

// One quantity over the whole benchmark: the median of each table run's samples, and the least and the most of all.
struct Spread
{
    std::vector<double> medians;
    double least = 0, most = 0;

    void Add(const std::vector<double>& samples)
    {
        if (samples.empty())
            return;
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        least = medians.empty() ? *low : std::min(least, *low);
        most = medians.empty() ? *high : std::max(most, *high);
        medians.push_back(Median(samples));
    }
    double Value() const { return Median(medians); } // the median of the runs' medians
};

// A figure: the client's quantity beside its baseline's.
struct Figure
{
    std::string name, unit, target;
    Spread value, baseline;
};

void PrintFigure(const Figure& f)
{
    const double value = f.value.Value(), baseline = f.baseline.Value();
    std::printf("%-40s %9.1f [%7.1f %7.1f] %9.1f [%7.1f %7.1f] %7.2fx  %s (%s)\n", f.name.c_str(), value, f.value.least,
                f.value.most, baseline, f.baseline.least, f.baseline.most, baseline ? value / baseline : 0.0,
                f.target.c_str(), f.unit.c_str());
}

// The figures in the order they are printed, each found by its key.
class CTable
{
public:
    Figure& operator[](const std::string& key)
    {
        for (auto& entry : m_figures)
            if (entry.first == key)
                return entry.second;
        m_figures.emplace_back(key, Figure{});
        return m_figures.back().second;
    }
    void Print() const
    {
        std::printf("%-40s %9s [%7s %7s] %9s [%7s %7s] %8s  %s\n", "figure (median of the runs' medians)", "lumora",
                    "min", "max", "baseline", "min", "max", "ratio", "target (unit)");
        for (const auto& entry : m_figures)
            PrintFigure(entry.second);
    }

private:
    std::vector<std::pair<std::string, Figure>> m_figures;
};

void Set(Figure& f, const std::string& name, const char* unit, const char* target)
{
    f.name = name;
    f.unit = unit;
    f.target = target;
}

std::string ScreenWords()
{
    return std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + " x " + std::to_string(::GetSystemMetrics(SM_CYSCREEN));
}

// Start-up and memory, the two programs alternately, starts times each.
void MeasureStarts(CTable& table, const std::wstring& client, const std::wstring& minimal, int starts, bool timed)
{
    std::vector<double> clientStart, minimalStart, clientLogin, clientGame, minimalLogin;
    for (int i = 0; i < starts; ++i)
    {
        const Run clientRun = StartAndMeasure(client, L"Web", true);
        const Run minimalRun = StartAndMeasure(minimal, L"Baseline", false);
        clientStart.push_back(clientRun.startMs);
        minimalStart.push_back(minimalRun.startMs);
        clientLogin.push_back(clientRun.loginBytes / 1024.0);
        clientGame.push_back(clientRun.gameBytes / 1024.0);
        minimalLogin.push_back(minimalRun.loginBytes / 1024.0);
    }
    Figure& login = table["login memory"];
    Set(login, "private memory, login mode, " + ScreenWords(), "KiB, baseline: minimal program", "<= 1.1x");
    login.value.Add(clientLogin);
    login.baseline.Add(minimalLogin);
    Figure& game = table["game memory"];
    Set(game, "private memory, game mode, " + ScreenWords(), "KiB, baseline: minimal program",
        ::GetSystemMetrics(SM_CXSCREEN) > 1920 ? "<= 1.4x" : "<= 1.3x");
    game.value.Add(clientGame);
    game.baseline.Add(minimalLogin);
    if (timed)
    {
        Figure& start = table["start"];
        Set(start, "start to first login frame", ("ms, " + std::to_string(starts) + " starts a run").c_str(),
            "<= 1.1x");
        start.value.Add(clientStart);
        start.baseline.Add(minimalStart);
    }
}

// The repaints, in this process with the client's own windows and resources.
void MeasurePaints(CTable& table)
{
    CImpIDispatch external;
    CCustomOccManager manager(&external);
    AfxEnableControlContainer(&manager);
    CGameDlg dlg;
    dlg.Create(CGameDlg::IDD);
    Pump(300);
    CDibSurface picture;
    const std::vector<double> login = Averages(3, 3, [&] { dlg.ComposeLoginPicture(1024, 700, picture); });
    const std::vector<double> decode =
        Averages(3, 3,
                 []
                 {
                     std::unique_ptr<Gdiplus::Bitmap> image = LoadResourceImage(IDB_LOGIN_COLOURS, "JPG");
                     Gdiplus::BitmapData data = {};
                     Gdiplus::Rect all(0, 0, image->GetWidth(), image->GetHeight());
                     image->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data);
                     volatile uint32_t sum = 0;
                     for (UINT y = 0; y < data.Height; ++y)
                     {
                         const auto* row =
                             reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
                         for (UINT x = 0; x < data.Width; ++x)
                             sum = sum + row[x];
                     }
                     image->UnlockBits(&data);
                 });
    Figure& repaint = table["login repaint"];
    Set(repaint, "login repaint (1024 x 700)", "ms, 3 runs of 3; baseline: a decode and a pass", "<= 2x");
    repaint.value.Add(login);
    repaint.baseline.Add(decode);

    ::PostMessageW(dlg.m_dlgWeb.m_hWnd, WM_GAME_PAGE_LOADED, 0, 0);
    Pump(500);
    // The way back makes the picture anew: the game let it go.
    std::vector<double> again;
    for (int i = 0; i < 9; ++i)
    {
        dlg.SetGameMode(true);
        const auto start = Clock::now();
        dlg.ComposeLoginPicture(1024, 700, picture);
        again.push_back(Ms(Clock::now() - start));
    }
    Figure& way = table["picture again"];
    Set(way, "login picture made again (way back)", "ms, 9 a run; baseline: 30 ms", "<= 1x");
    way.value.Add(again);
    way.baseline.Add({30.0});

    HWND web = dlg.m_dlgWeb.m_hWnd;
    RECT area;
    ::GetClientRect(web, &area);
    const std::vector<double> game = Averages(
        3, 10, [&] { ::RedrawWindow(web, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); });
    // Where the game repaint goes: the window's own paint, and each of its buttons beside an owner-drawn button
    // that draws nothing (what a child window's paint costs before any drawing).
    const std::vector<double> gameOwn = Averages(
        9, 10, [&] { ::RedrawWindow(web, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN); });
    int buttons = 0;
    double buttonTotal = 0;
    for (HWND child = ::GetWindow(web, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        wchar_t kind[16] = {};
        ::GetClassNameW(child, kind, 16);
        if (::IsWindowVisible(child) && std::wcscmp(kind, L"Button") == 0)
        {
            ++buttons;
            buttonTotal +=
                Average(10, [&] { ::RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });
        }
    }
    HWND blank = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 38, 18, web, nullptr,
                                   nullptr, nullptr);
    const double blankButton =
        Average(10, [&] { ::RedrawWindow(blank, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });
    ::DestroyWindow(blank);
    CDibSurface full;
    full.Create(area.right, area.bottom);
    auto blitOnce = [&]
    {
        HDC dc = ::GetDC(web);
        ::BitBlt(dc, 0, 0, area.right, area.bottom, full, 0, 0, SRCCOPY);
        ::GdiFlush();
        ::ReleaseDC(web, dc);
    };
    const std::vector<double> blit = Averages(3, 10, blitOnce);
    const std::vector<double> blits = Averages(9, 10, blitOnce);
    dlg.DestroyWindow();

    Figure& whole = table["game repaint"];
    Set(whole, "game repaint (" + std::to_string(area.right) + " x " + std::to_string(area.bottom) + ")",
        "ms, 3 runs of 10; baseline: a blit of the window", "-");
    whole.value.Add(game);
    whole.baseline.Add(blit);
    Figure& own = table["game own"];
    Set(own, "  of which: the window alone", "ms, 9 runs of 10", "<= 1.5x");
    own.value.Add(gameOwn);
    own.baseline.Add(blits);
    Figure& children = table["game buttons"];
    Set(children, "  of which: " + std::to_string(buttons) + " buttons", "ms, baseline: as many blank owner-drawn",
        "-");
    children.value.Add({buttonTotal});
    children.baseline.Add({blankButton * buttons});
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: bench <release client> <minimal program> [--memory | --paints]\n");
        return 2;
    }
    auto wide = [](const char* text) { return std::wstring(text, text + std::strlen(text)); };
    const std::wstring client = wide(argv[1]), minimal = wide(argv[2]);
    const bool memoryOnly = argc > 3 && std::strcmp(argv[3], "--memory") == 0;
    const bool paintsOnly = argc > 3 && std::strcmp(argv[3], "--paints") == 0;
    CScopedOle ole;
    CScopedGdiplus gdiplus;

    // The whole table three times: a figure is the median of the three runs' medians, beside the least and the most
    // of all its samples.
    CTable table;
    const int runs = 3;
    for (int run = 0; run < runs; ++run)
    {
        // Fewer starts than 9 let one slow start on a busy machine move a median.
        if (!paintsOnly)
            MeasureStarts(table, client, minimal, memoryOnly ? 3 : 9, !memoryOnly);
        if (memoryOnly)
            continue;
        MeasurePaints(table);
        if (paintsOnly)
            continue;
        const Cycles cycles = CycleAndMeasure(client, 50);
        Figure& after = table["cycles"];
        Set(after, "private memory after " + std::to_string(cycles.done) + " login-game cycles",
            "KiB, baseline: after the first", "settles");
        after.value.Add({cycles.lastBytes / 1024.0});
        after.baseline.Add({cycles.firstBytes / 1024.0});
    }
    if (!memoryOnly && !paintsOnly)
    {
        WIN32_FILE_ATTRIBUTE_DATA attributes = {};
        ::GetFileAttributesExW(client.c_str(), GetFileExInfoStandard, &attributes);
        Figure& size = table["size"];
        Set(size, "release executable", "KiB, baseline: 1 MB", "<= 1x");
        size.value.Add({attributes.nFileSizeLow / 1024.0});
        size.baseline.Add({1024.0});
    }
    table.Print();
    std::printf("browser control in both programs: Wine's own WebBrowser (no HTML engine here; loads fail offline)\n");
    return 0;
}
