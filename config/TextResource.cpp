#include "config/TextResource.h"

bool LoadTextResource(HMODULE module, int id, std::string& out)
{
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), "TEXT");
    if (!info)
        return false;
    const DWORD size = SizeofResource(module, info);
    if (size == 0)
    {
        out.clear();
        return true;
    }
    // Resource memory belongs to the mapped image: it needs no freeing and stays valid while the module is
    // loaded, but it is read-only, so the caller gets its own copy.
    HGLOBAL data = LoadResource(module, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        return false;
    out.assign(static_cast<const char*>(bytes), size);
    return true;
}
