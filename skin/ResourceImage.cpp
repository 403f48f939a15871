#include "skin/ResourceImage.h"

#include <cstring>

BOOL LoadResourceImage(UINT id, Gdiplus::Bitmap** image, const char* type)
{
    if (!image || !type)
        return FALSE;
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), type);
    if (!resource)
        return FALSE;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return FALSE;

    // GDI+ reads the stream whenever it likes for as long as the image lives, so the bytes go into a block
    // that the stream owns and frees with its last reference, which the image holds.
    HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, size);
    if (!block)
        return FALSE;
    std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream)))
    {
        ::GlobalFree(block);
        return FALSE;
    }
    *image = new Gdiplus::Bitmap(stream, TRUE); // colour management on; null only when GDI+ has no memory
    stream->Release();
    return TRUE;
}
