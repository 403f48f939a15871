#include "framework/ModulePath.h"

namespace
{

std::wstring ReadModuleFileName()
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
            return path;
        }
        path.resize(path.size() * 2); // cut short: try again with room to spare
    }
}

} // namespace

CModulePath AfxSplitModulePath(const std::wstring& fullPath)
{
    CModulePath path;
    path.fullPath = fullPath;
    const size_t slash = fullPath.find_last_of(L"\\/");
    path.folder = slash == std::wstring::npos ? std::wstring() : fullPath.substr(0, slash);
    path.fileName = slash == std::wstring::npos ? fullPath : fullPath.substr(slash + 1);
    const size_t dot = path.fileName.find_last_of(L'.');
    path.baseName = dot == std::wstring::npos ? path.fileName : path.fileName.substr(0, dot);
    return path;
}

const CModulePath& AfxGetModulePath()
{
    static const CModulePath path = AfxSplitModulePath(ReadModuleFileName());
    return path;
}
