#pragma once

#include "skin/Gdiplus.h"

// Decodes image resource id (low 16 bits; type name "PNG" or "JPG") of the executable into a new bitmap,
// with an embedded colour profile applied. On success stores the image, owned by the caller, and returns TRUE;
// the image may be null (no memory) or empty (bytes that do not decode). On failure leaves *image alone.
BOOL LoadResourceImage(UINT id, Gdiplus::Bitmap** image, const char* type);
