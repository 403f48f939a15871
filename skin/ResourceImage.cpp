#include "skin/ResourceImage.h"

#include <cstring>

std::unique_ptr<Gdiplus::Bitmap> LoadResourceImage(UINT id, const char* type)
{
    if (!type)
        return nullptr;
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id & 0xFFFF), type);
    if (!resource)
        return nullptr;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return nullptr;

    // GDI+ reads the stream whenever it likes for as long as the image lives, so the bytes go into a block
    // that the stream owns and frees with its last reference, which the image holds.
    HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, size);
    if (!block)
        return nullptr;
    std::memcpy(::GlobalLock(block), bytes, size);
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream)))
    {
        ::GlobalFree(block);
        return nullptr;
    }
    // Colour management on. GDI+'s own allocation: null when it has no memory, freed by its own delete.
    std::unique_ptr<Gdiplus::Bitmap> image(new Gdiplus::Bitmap(stream, TRUE));
    stream->Release();
    return image;
}
