#pragma once

#include "framework/Wnd.h"

#include <string>

// The application object. The program defines exactly one global instance; the framework's WinMain finds
// it, names the application after the executable, runs InitInstance and, when that returns true, a message
// loop; then ExitInstance, whose result is the process's exit code.
class CWinApp
{
public:
    // appName (UTF-8): the application's name; null for the executable's base name.
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    virtual int Run();

    // Profile values live under HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>. The
    // registry key is wide text, whatever the thread's code page (the client keys its profile by the executable's
    // path); its backslashes make nested keys.
    void SetRegistryKey(const std::wstring& key);
    // section and entry: UTF-8.
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    std::string m_strAppName;      // UTF-8; the executable's base name unless the constructor gave one
    std::wstring m_strRegistryKey; // empty until SetRegistryKey
    std::wstring m_strProfileName; // the application name

private:
    friend int AfxWinMain(HINSTANCE instance);
    std::wstring SectionKeyPath(const char* section) const;

    int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
// The framework's start-up and run of the one application object.
int AfxWinMain(HINSTANCE instance);
