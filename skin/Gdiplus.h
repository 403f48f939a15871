#pragma once

// GDI+ wants <windows.h> and <objidl.h> before it; every skin file includes it through here.
#include "framework/Afx.h"

#include <gdiplus.h>
