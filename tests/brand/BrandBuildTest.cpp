// A client built with a brand folder (tests/brand/make_sample.py writes it): its login screen shows the brand's
// picture and Pay button, its windows bear the brand's titles, it carries the brand's site-address document and page
// for a server that cannot be reached, asks for the brand's document mode, and its version resource names the product,
// the operator and the brand's executable.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/Surface.h"
#include "framework/Text.h"
#include "res/resource.h"
#include "tests/support/ClientProcess.h"

namespace
{

// Kept in step with make_sample.py.
const DWORD kLoginColour = 0x28C85A; // RGB(40, 200, 90)
const DWORD kPayColour = 0xE628C8;   // RGB(230, 40, 200)
const wchar_t kAppTitle[] = L"Brandtest Play";
const wchar_t kWebTitle[] = L"Brandtest Loader Window";

bool Near(DWORD p, DWORD colour)
{
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF)) > 12)
            return false;
    return true;
}

// The pixels of the screen inside r that match, once at least `least` of them do (the client paints when its display
// tells it to).
template <class Match> int CountOnScreen(const RECT& r, Match match, int least = 1)
{
    WaitForScreen(r, [&](const CScreenShot& shot) { return shot.Count(r, match) >= least; });
    return CScreenShot(r).Count(r, match);
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* key)
{
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return L"(none)";
    return value;
}

} // namespace

TEST(BrandBuild, ShowsTheBrandsPicturesAndTitles)
{
    CClient client;
    ASSERT_TRUE(client.Started());
    wchar_t title[64] = {};
    ::GetWindowTextW(client.Main(), title, 64);
    EXPECT_STREQ(kAppTitle, title);

    // The login picture's colour inside the shape, left of the web window; the Pay button's face.
    const RECT main = WindowRect(client.Main());
    const RECT picture = {main.left + 100, main.top + 300, main.left + 200, main.top + 400};
    EXPECT_GT(CountOnScreen(
                  picture, [](DWORD p) { return Near(p, kLoginColour); }, 9001),
              9000)
        << "the login picture";
    RECT pay = WindowRect(::GetDlgItem(client.Web(), IDC_BTN_PAY));
    ::InflateRect(&pay, -10, -10);
    const int payArea = (pay.right - pay.left) * (pay.bottom - pay.top);
    EXPECT_GT(CountOnScreen(
                  pay, [](DWORD p) { return Near(p, kPayColour); }, payArea * 9 / 10 + 1),
              payArea * 9 / 10)
        << "the Pay button";

    // In the game window, the brand's title is drawn in white in the title band, and ends where its text ends.
    HWND browser = ::GetDlgItem(client.Web(), IDC_BROWSER);
    ASSERT_TRUE(client.PostToWeb(WM_WEB_PAGE_LOADED, [&] { return ::IsWindowVisible(browser) != FALSE; }));
    ASSERT_TRUE(client.PostToWeb(WM_GAME_PAGE_LOADED,
                                 [&] { return !(::GetWindowLongW(client.Web(), GWL_EXSTYLE) & WS_EX_LAYERED); }));
    const RECT placed = WindowRect(client.Web());
    const LayoutRect* band = Tables().FindLayout("WebTitle_L");
    ASSERT_NE(nullptr, band);
    HDC screenDc = ::GetDC(nullptr);
    HGDIOBJ font = ::SelectObject(screenDc, ::GetStockObject(SYSTEM_FONT));
    SIZE extent = {};
    ::GetTextExtentPoint32W(screenDc, kWebTitle, static_cast<int>(wcslen(kWebTitle)), &extent);
    ::SelectObject(screenDc, font);
    ::ReleaseDC(nullptr, screenDc);
    auto white = [](DWORD p) { return (p & 0xF0F0F0) == 0xF0F0F0; };
    const int left = placed.left + band->x, top = placed.top + band->y, bottom = top + band->h;
    EXPECT_GT(CountOnScreen(RECT{left, top, left + extent.cx, bottom}, white, 41), 40) << "the title's text";
    EXPECT_EQ(0, CScreenShot(RECT{left + extent.cx + 4, top, left + 500, bottom})
                     .Count(RECT{left + extent.cx + 4, top, left + 500, bottom}, white))
        << "past the title";
}

TEST(BrandBuild, CarriesTheBrandsDocumentAndVersion)
{
    HMODULE client = ::LoadLibraryExW(BuiltClient().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, client);
    HRSRC resource = ::FindResourceA(client, MAKEINTRESOURCEA(IDR_SITEURL_DOC), "TEXT");
    ASSERT_NE(nullptr, resource);
    const std::string carried(static_cast<const char*>(::LockResource(::LoadResource(client, resource))),
                              ::SizeofResource(client, resource));
    ::FreeLibrary(client);
    std::ifstream file(AfxUtf8((L"Z:" + AfxWide(LUMORA_BRAND_SITEURL)).c_str()), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), carried);

    const DWORD size = ::GetFileVersionInfoSizeW(BuiltClient().c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(BuiltClient().c_str(), 0, size, info.data()));
    EXPECT_EQ(L"Brandtest Games", VersionString(info, L"CompanyName"));
    EXPECT_EQ(kAppTitle, VersionString(info, L"ProductName"));
    EXPECT_EQ(AfxWide(LUMORA_VERSION), VersionString(info, L"FileVersion"));
    EXPECT_EQ(L"brandtest-play.exe", VersionString(info, L"OriginalFilename"));
    EXPECT_EQ(L"brandtest-play", VersionString(info, L"InternalName"));
    EXPECT_EQ(40u, VersionString(info, L"Commit").size()) << "a commit's full hash";
}

// The brand's document mode is the one asked for, under the branded executable's own name, and its page for a server
// that cannot be reached stands in both languages' place.
TEST(BrandBuild, AsksForTheBrandsDocumentModeAndCarriesItsPage)
{
    const std::wstring exe = BuiltClient();
    const std::wstring name = exe.substr(exe.find_last_of(L'\\') + 1);
    const wchar_t key[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name.c_str());
    {
        CClient client;
        ASSERT_TRUE(client.Started());
    }
    DWORD mode = 0, size = sizeof mode;
    EXPECT_EQ(ERROR_SUCCESS,
              ::RegGetValueW(HKEY_CURRENT_USER, key, name.c_str(), RRF_RT_REG_DWORD, nullptr, &mode, &size));
    EXPECT_EQ(10001u, mode);

    std::ifstream file(AfxUtf8((L"Z:" + AfxWide(LUMORA_BRAND_FOLDER) + L"/offline.html").c_str()), std::ios::binary);
    const std::string page(std::istreambuf_iterator<char>(file), {});
    ASSERT_FALSE(page.empty());
    HMODULE client = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, client);
    for (const wchar_t* carried : {L"OFFLINE-EN.HTML", L"OFFLINE-ZH.HTML"})
    {
        HRSRC resource = ::FindResourceW(client, carried, MAKEINTRESOURCEW(23)); // RT_HTML
        ASSERT_NE(nullptr, resource) << AfxUtf8(carried);
        EXPECT_EQ(page, std::string(static_cast<const char*>(::LockResource(::LoadResource(client, resource))),
                                    ::SizeofResource(client, resource)))
            << AfxUtf8(carried);
    }
    ::FreeLibrary(client);
}
