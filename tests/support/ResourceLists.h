#pragma once

// What resources of a type the test program itself carries, as the resource loader lists them.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace ResourceLists
{

inline BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    // A name given as a string instead of a number is recorded as -1, which no expected id matches.
    reinterpret_cast<std::vector<int>*>(param)->push_back(IS_INTRESOURCE(name) ? LOWORD(name) : -1);
    return TRUE;
}

inline BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

} // namespace ResourceLists

// The ids of every resource of type, sorted.
inline std::vector<int> ResourceIds(const char* type)
{
    std::vector<int> ids;
    EnumResourceNamesA(nullptr, type, ResourceLists::CollectName, reinterpret_cast<LONG_PTR>(&ids));
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The languages resource id of type is carried in.
inline std::vector<WORD> ResourceLanguages(const char* type, int id)
{
    std::vector<WORD> languages;
    EnumResourceLanguagesA(nullptr, type, MAKEINTRESOURCEA(id), ResourceLists::CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}
