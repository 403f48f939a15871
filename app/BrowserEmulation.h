#pragma once

#include "framework/ModulePath.h"

// The document mode the browser control renders pages in, for this executable: a REG_DWORD value named after the
// executable's file name as it is on disk now (players and operators rename it) under
// HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION. It must be
// written before the first browser control of the process is made. Mode 0 writes nothing; a write that fails is
// silent, and pages then render in the control's default mode. True when the value was written.
bool SetBrowserEmulation(const CModulePath& path, unsigned long mode);
