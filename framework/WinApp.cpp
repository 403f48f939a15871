#include "framework/WinApp.h"

#include "framework/Dialog.h"
#include "framework/Text.h"

namespace
{
CWinApp* g_app = nullptr;

// The executable's file name without folder and extension.
std::wstring ExecutableBaseName()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;)
    {
        const DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
        {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

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
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1)
    {
        if (!CDialog::PreTranslateMessage(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    m_nExitCode = got == 0 ? static_cast<int>(msg.wParam) : 0;
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const char* key)
{
    m_strRegistryKey = AfxWideFromNarrow(key);
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
        app->m_strAppName = AfxUtf8(ExecutableBaseName().c_str());
    app->m_strProfileName = AfxWide(app->m_strAppName.c_str());
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
