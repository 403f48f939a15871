#include "app/DesktopShortcut.h"

#include "framework/Afx.h"
#include "framework/ComPtr.h"
#include "framework/Scoped.h"

#include <shlobj.h>

namespace
{

bool DesktopFolder(std::wstring& folder)
{
    CComPtr<IMalloc> malloc;
    if (FAILED(::SHGetMalloc(malloc.Receive())) || !malloc)
        return false;
    LPITEMIDLIST list = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)) || !list)
        return false;
    wchar_t buffer[MAX_PATH] = {};
    const BOOL ok = ::SHGetPathFromIDListW(list, buffer);
    malloc->Free(list);
    if (!ok)
        return false;
    folder = buffer;
    return true;
}

} // namespace

bool CreateDesktopShortcut(const CModulePath& path)
{
    if (path.fullPath.empty() || path.fullPath.size() >= MAX_PATH)
        return false;
    // COM for the duration of this step only.
    CScopedCom com;
    if (!com.Ok())
        return false;
    std::wstring desktop;
    if (!DesktopFolder(desktop))
        return false;
    // The link's path must fit MAX_PATH UTF-16 units with its terminator; it is never saved cut short.
    const std::wstring linkPath = desktop + L"\\" + path.baseName + L".lnk";
    if (linkPath.size() >= MAX_PATH)
        return false;

    CComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.ReceiveVoid())) ||
        !link)
        return false;
    link->SetPath(path.fullPath.c_str());
    link->SetWorkingDirectory(path.folder.c_str());

    CComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) || !file)
        return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}
