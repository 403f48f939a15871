#pragma once

#include "framework/Afx.h"

#include <string>

// The executable's full path, read into a buffer that grows as needed (so never used cut short), and its parts:
// the folder without its last separator, the file name, and the file name without its extension.
struct CModulePath
{
    std::wstring fullPath;
    std::wstring folder;
    std::wstring fileName;
    std::wstring baseName;
};

// Read once, on the first call; empty when the platform cannot tell.
const CModulePath& AfxGetModulePath();

// Splits any full path as above.
CModulePath AfxSplitModulePath(const std::wstring& fullPath);
