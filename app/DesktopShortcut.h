#pragma once

#include "framework/ModulePath.h"

// Puts "<base name>.lnk" on the user's desktop, pointing at path.fullPath with path.folder as working directory,
// through the shell's wide calls, so that any path the executable can have is written as it is, whatever the
// thread's code page. Every failure ends it silently. A path that the shell's fixed-size buffers cannot hold
// (executable path of MAX_PATH characters or more, link path of more than MAX_PATH - 1 UTF-16 units) is never
// written cut short: the shortcut is skipped. False when no link file was saved.
bool CreateDesktopShortcut(const CModulePath& path);
