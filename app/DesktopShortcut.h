#pragma once

#include "core/AnsiString.h"
#include "framework/ModulePath.h"

// The executable's path as the shell's narrow calls take it: text of the thread's code page.
struct ExecutablePath
{
    CAnsiString fullPath;
    CAnsiString baseName;
    CAnsiString folder;
};
// The executable's path (AfxGetModulePath) in the thread's code page, as GetModuleFileNameA would give it.
ExecutablePath GetExecutablePath();

// Puts "<base name>.lnk" on the user's desktop, pointing at fullPath with folder as working directory.
// Every failure ends it silently. A path that the shell's fixed-size buffers cannot hold (executable path of
// MAX_PATH characters or more, link path of more than MAX_PATH - 1 UTF-16 units) is never written cut short:
// the shortcut is skipped. False when no link file was saved.
bool CreateDesktopShortcut(const ExecutablePath& path);
