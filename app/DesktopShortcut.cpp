#include "app/DesktopShortcut.h"

#include "framework/Afx.h"
#include "framework/Scoped.h"
#include "framework/Text.h"

#include <shlobj.h>

ExecutablePath GetExecutablePath()
{
    const CModulePath& module = AfxGetModulePath();
    ExecutablePath path;
    path.fullPath = AfxAnsiFromWide(module.fullPath.c_str());
    path.baseName = AfxAnsiFromWide(module.baseName.c_str());
    path.folder = AfxAnsiFromWide(module.folder.c_str());
    return path;
}

namespace
{

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

bool DesktopFolder(CAnsiString& folder)
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
    folder = CAnsiString(buffer);
    return true;
}

} // namespace

bool CreateDesktopShortcut(const ExecutablePath& path)
{
    if (path.fullPath.Empty() || path.fullPath.Size() >= MAX_PATH)
        return false;
    // COM for the duration of this step only.
    CScopedCom com;
    if (!com.Ok())
        return false;
    CAnsiString desktop;
    if (!DesktopFolder(desktop))
        return false;
    const CAnsiString linkPath(desktop.Bytes() + "\\" + path.baseName.Bytes() + ".lnk");

    CReleaseOnExit<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link.p))))
        return false;
    link.p->SetPath(path.fullPath.Ansi());
    link.p->SetWorkingDirectory(path.folder.Ansi());

    CReleaseOnExit<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
        return false;
    // The link's path must fit MAX_PATH UTF-16 units with its terminator; it is never saved cut short.
    const int units = ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, linkPath.Ansi(), -1, nullptr, 0);
    if (units <= 0 || units > MAX_PATH)
        return false;
    wchar_t widePath[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, linkPath.Ansi(), -1, widePath, MAX_PATH);
    return SUCCEEDED(file.p->Save(widePath, TRUE));
}
