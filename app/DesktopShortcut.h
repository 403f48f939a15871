#pragma once

#include <string>

// The executable's full path (narrow, the thread's code page, as GetModuleFileNameA gives it) and its file
// name without folder and extension. Never truncated: the path is read into a buffer that grows as needed.
struct ExecutablePath
{
    std::string fullPath;
    std::string baseName;
    std::string folder;
};
ExecutablePath GetExecutablePath();

// Puts "<base name>.lnk" on the user's desktop, pointing at fullPath with folder as working directory.
// Every failure ends it silently. A path that the shell's fixed-size buffers cannot hold (executable path of
// MAX_PATH characters or more, link path of more than MAX_PATH - 1 UTF-16 units) is never written cut short:
// the shortcut is skipped. False when no link file was saved.
bool CreateDesktopShortcut(const ExecutablePath& path);
