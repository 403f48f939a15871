#include "app/BrowserEmulation.h"

bool SetBrowserEmulation(const CModulePath& path, unsigned long mode)
{
    if (mode == 0 || path.fileName.empty())
        return false;
    // The user's own key only: the machine's would need elevation.
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER,
                          L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION", 0,
                          nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD value = mode;
    const bool written = ::RegSetValueExW(key, path.fileName.c_str(), 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}
