#pragma once

#include <memory>

#include "skin/Gdiplus.h"

// Decodes image resource id (low 16 bits; type name "PNG" or "JPG") of the executable into a new bitmap owned by
// the caller, with an embedded colour profile applied. Null when there is no such resource (the type name is part of
// its address) or no memory for it; an empty image (width and height 0) for bytes that do not decode.
std::unique_ptr<Gdiplus::Bitmap> LoadResourceImage(UINT id, const char* type);
