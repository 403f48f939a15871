// The two kinds of text at the Win32 boundary, under whatever code page and language the test runs in (the test
// command runs these tests under the default locale and under a Chinese one).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/Text.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

namespace
{

bool ChineseCodePage()
{
    return ::GetACP() == 936;
}

// What the platform's own narrow conversion makes of wide text.
std::string PlatformAnsi(const wchar_t* wide)
{
    char buffer[256] = {};
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

} // namespace

TEST(Text, ThreadCodePageHasThePlatformsLeadBytes)
{
    const CMbcsCodePage codePage = AfxThreadCodePage();
    for (int b = 0; b < 256; ++b)
    {
        SCOPED_TRACE(b);
        EXPECT_EQ(static_cast<bool>(::IsDBCSLeadByteEx(::GetACP(), static_cast<BYTE>(b))),
                  codePage.IsLeadByte(static_cast<unsigned char>(b)));
    }
    if (ChineseCodePage())
    {
        EXPECT_TRUE(codePage.IsLeadByte(0x81));
        EXPECT_TRUE(codePage.IsLeadByte(0xFE));
        EXPECT_FALSE(codePage.IsLeadByte(0x80));
    }
}

TEST(Text, AddressesToTheThreadCodePageAndBack)
{
    struct Case
    {
        const char* name;
        std::wstring wide;
        size_t length;
    } const cases[] = {
        {"plain address", L"http://s12.game.lumora.example/play?id=3", std::wstring::npos},
        {"Chinese in the path", L"http://www.lumora.example/游戏/登录", std::wstring::npos},
        {"a length shorter than the text", L"http://a.example/xyz", 16},
        {"a zero unit ends the text", std::wstring(L"http://a.example/\0hidden", 24), std::wstring::npos},
        {"empty", L"", std::wstring::npos},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const CAnsiString ansi = AfxAnsiFromWide(c.wide.c_str(), c.length);
        const std::wstring visible = c.wide.substr(0, std::min(c.length, c.wide.find(L'\0')));
        EXPECT_EQ(PlatformAnsi(visible.c_str()), ansi.Bytes());
        if (ChineseCodePage() || visible.find_first_of(L"游戏登录") == std::wstring::npos)
        {
            EXPECT_EQ(visible, AfxWideFromAnsi(ansi)); // what the code page can hold comes back unchanged
        }
    }
    // What the code page cannot hold becomes its default character, an unpaired surrogate too.
    EXPECT_EQ("a?b", AfxAnsiFromWide(L"a\xD800"
                                     L"b")
                         .Bytes());
    EXPECT_EQ(ChineseCodePage() ? "\xD3\xCE" : "?", AfxAnsiFromWide(L"游").Bytes());
    EXPECT_TRUE(AfxAnsiFromWide(nullptr).Empty());
}

TEST(Text, UpperCasingAConvertedAddressKeepsItsDoubleByteCharacters)
{
    CAnsiString address = AfxAnsiFromWide(L"http://s1.game.lumora.example/游戏a");
    MbcsUpper(address, AfxThreadCodePage());
    EXPECT_EQ(L"HTTP://S1.GAME.LUMORA.EXAMPLE/" + std::wstring(ChineseCodePage() ? L"游戏" : L"??") + L"A",
              AfxWideFromAnsi(address));
}

TEST(Text, WindowTitlesAreUtf8WhateverTheCodePage)
{
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    CWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    wnd.SetWindowText("Lumora桌面登录器");
    wchar_t title[64] = {};
    ::GetWindowTextW(hwnd, title, 64);
    EXPECT_STREQ(L"Lumora桌面登录器", title);
    EXPECT_EQ("Lumora桌面登录器", wnd.GetWindowText());
    // The narrow call shows the code page's own bytes.
    char narrow[64] = {};
    ::GetWindowTextA(hwnd, narrow, 64);
    EXPECT_EQ(PlatformAnsi(L"Lumora桌面登录器"), narrow);
    ::DestroyWindow(hwnd);
}

TEST(Text, ProfileKeyKeepsEveryCharacterWhateverTheCodePage)
{
    // The key is the executable's path as it is: a path with Chinese in it keeps its Chinese under code page 1252
    // too, where the narrow calls would have made question marks of it.
    static CWinApp app("TextTests");
    const std::wstring folder = L"C:\\Lumora 游戏 " + std::to_wstring(::GetTickCount());
    app.SetRegistryKey(folder + L"\\lumora.exe");
    ASSERT_TRUE(app.WriteProfileInt("root", "shortCut", 1));
    EXPECT_EQ(1u, app.GetProfileInt("root", "shortCut", 0));

    const std::wstring path = L"Software\\" + folder + L"\\lumora.exe\\TextTests\\root";
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS,
              ::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"shortCut", RRF_RT_REG_DWORD, nullptr, &value, &size));
    EXPECT_EQ(1u, value);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + folder).c_str());
}

// The test command runs these tests once more under a Chinese locale and says which code page and language it
// expects, so that a run that silently fell back to the default cannot pass for one.
TEST(Text, RunsUnderTheLocaleTheTestCommandAskedFor)
{
    char expected[16] = {};
    if (::GetEnvironmentVariableA("LUMORA_EXPECT_CODE_PAGE", expected, sizeof expected) == 0)
        GTEST_SKIP() << "default locale: code page " << ::GetACP();
    EXPECT_EQ(static_cast<UINT>(std::atoi(expected)), ::GetACP());
    EXPECT_EQ(LANG_CHINESE, PRIMARYLANGID(::GetUserDefaultUILanguage()));
}
