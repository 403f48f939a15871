#include "framework/WinApp.h"

#include "framework/MessageLoop.h"
#include "framework/ModulePath.h"
#include "framework/Text.h"

namespace
{

CWinApp* g_app = nullptr;

} // namespace

CWinApp::CWinApp(const char* appName)
{
    if (appName)
        m_strAppName = appName;
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

int CWinApp::Run()
{
    while (AfxPumpMessage(m_nExitCode))
    {
    }
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const std::wstring& key)
{
    m_strRegistryKey = key;
    m_strProfileName = AfxWide(m_strAppName.c_str());
}

std::wstring CWinApp::SectionKeyPath(const char* section) const
{
    return L"Software\\" + m_strRegistryKey + L"\\" + m_strProfileName + L"\\" + AfxWide(section);
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue)
{
    if (m_strRegistryKey.empty())
        return static_cast<UINT>(defaultValue);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return static_cast<UINT>(defaultValue);
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG status =
        ::RegQueryValueExW(key, AfxWide(entry).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(defaultValue);
    return value;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value)
{
    if (m_strRegistryKey.empty())
        return FALSE;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SectionKeyPath(section).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return FALSE;
    const DWORD data = static_cast<DWORD>(value);
    const LONG status =
        ::RegSetValueExW(key, AfxWide(entry).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    if (app->m_strAppName.empty())
        app->m_strAppName = AfxUtf8(AfxGetModulePath().baseName.c_str());
    app->m_strProfileName = AfxWide(app->m_strAppName.c_str());
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
