// The document mode the client asks the browser control for, written under the user's key in the executable's name.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/BrowserEmulation.h"

namespace
{

const wchar_t kKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

long Written(const wchar_t* name)
{
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<long>(value);
}

} // namespace

TEST(BrowserEmulation, TheModeGivenUnderTheFileNameAndNothingForZero)
{
    const CModulePath path = AfxSplitModulePath(L"C:\\Games\\Brand Client 测试.exe");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, path.fileName.c_str());

    EXPECT_FALSE(SetBrowserEmulation(path, 0));
    EXPECT_EQ(-1, Written(L"Brand Client 测试.exe")) << "0 asks for nothing";
    EXPECT_TRUE(SetBrowserEmulation(path, 10001));
    EXPECT_EQ(10001, Written(L"Brand Client 测试.exe"));
    EXPECT_TRUE(SetBrowserEmulation(path, 11000));
    EXPECT_EQ(11000, Written(L"Brand Client 测试.exe"));
    EXPECT_FALSE(SetBrowserEmulation(AfxSplitModulePath(L""), 11000)) << "no name, no value";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, path.fileName.c_str());
}
