#include "app/DesktopShortcut.h"

#include "framework/Afx.h"

#include <shlobj.h>

ExecutablePath GetExecutablePath()
{
    ExecutablePath path;
    std::string buffer(MAX_PATH, '\0');
    for (;;)
    {
        const DWORD length = ::GetModuleFileNameA(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return path;
        if (length < buffer.size())
        {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    path.fullPath = buffer;
    const size_t slash = buffer.find_last_of("\\/");
    path.folder = slash == std::string::npos ? std::string() : buffer.substr(0, slash);
    const std::string fileName = slash == std::string::npos ? buffer : buffer.substr(slash + 1);
    const size_t dot = fileName.find_last_of('.');
    path.baseName = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    return path;
}

namespace
{

// COM for the duration of the shortcut step only.
class CComScope
{
public:
    CComScope() : m_ok(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~CComScope()
    {
        if (m_ok)
            ::CoUninitialize();
    }
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

template <class T> class CReleaseOnExit
{
public:
    ~CReleaseOnExit()
    {
        if (p)
            p->Release();
    }
    T* p = nullptr;
};

bool DesktopFolder(std::string& folder)
{
    CReleaseOnExit<IMalloc> malloc;
    if (FAILED(::SHGetMalloc(&malloc.p)))
        return false;
    LPITEMIDLIST list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)) || !list)
        return false;
    char buffer[MAX_PATH] = {};
    const BOOL ok = ::SHGetPathFromIDListA(list, buffer);
    malloc.p->Free(list);
    if (!ok)
        return false;
    folder = buffer;
    return true;
}

} // namespace

bool CreateDesktopShortcut(const ExecutablePath& path)
{
    if (path.fullPath.empty() || path.fullPath.size() >= MAX_PATH)
        return false;
    CComScope com;
    if (!com.Ok())
        return false;
    std::string desktop;
    if (!DesktopFolder(desktop))
        return false;
    const std::string linkPath = desktop + "\\" + path.baseName + ".lnk";

    CReleaseOnExit<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link.p))))
        return false;
    link.p->SetPath(path.fullPath.c_str());
    link.p->SetWorkingDirectory(path.folder.c_str());

    CReleaseOnExit<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
        return false;
    // The link's path must fit MAX_PATH UTF-16 units with its terminator; it is never saved cut short.
    const int units = ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, linkPath.c_str(), -1, nullptr, 0);
    if (units <= 0 || units > MAX_PATH)
        return false;
    wchar_t widePath[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, linkPath.c_str(), -1, widePath, MAX_PATH);
    return SUCCEEDED(file.p->Save(widePath, TRUE));
}
