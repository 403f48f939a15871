// The page's pop-up menu and its accelerator table, read back from the client as built: the client loads neither,
// but carries both with their commands, texts and key.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"

namespace
{

HMODULE OpenClient()
{
    std::string path = std::string("Z:") + LUMORA_EXE;
    std::replace(path.begin(), path.end(), '/', '\\');
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

} // namespace

TEST(PageMenu, TwoItemsAndF5)
{
    HMODULE client = OpenClient();
    ASSERT_NE(nullptr, client);

    HMENU menu = ::LoadMenuW(client, MAKEINTRESOURCEW(IDR_PAGE_MENU));
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(1, ::GetMenuItemCount(menu));
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);
    struct Item
    {
        UINT command;
        const wchar_t* text;
    } const items[] = {{ID_PAGE_REFRESH, L"刷新(F5) "}, {ID_CLEAR_CACHE, L"清理缓存"}};
    ASSERT_EQ(2, ::GetMenuItemCount(popup));
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].command, ::GetMenuItemID(popup, i));
        wchar_t text[32] = {};
        ::GetMenuStringW(popup, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(items[i].text), text);
    }
    ::DestroyMenu(menu);

    HACCEL keys = ::LoadAcceleratorsW(client, MAKEINTRESOURCEW(IDR_PAGE_KEYS));
    ASSERT_NE(nullptr, keys);
    std::vector<ACCEL> entries(::CopyAcceleratorTableW(keys, nullptr, 0));
    ASSERT_EQ(1u, entries.size());
    ::CopyAcceleratorTableW(keys, entries.data(), static_cast<int>(entries.size()));
    EXPECT_EQ(VK_F5, entries[0].key);
    EXPECT_EQ(ID_PAGE_REFRESH, entries[0].cmd);
    EXPECT_EQ(FVIRTKEY, entries[0].fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT));
    ::DestroyAcceleratorTable(keys);
    ::FreeLibrary(client);
}
