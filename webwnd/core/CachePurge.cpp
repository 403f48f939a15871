#include "webwnd/core/CachePurge.h"

#include <new>
#include <vector>

void PurgeUrlCache(CUrlCache& cache)
{
    uint32_t size = 0;
    if (cache.FindFirst(nullptr, size) != CUrlCache::InsufficientBuffer)
        return; // empty, or nothing to enumerate
    bool open = false;
    try
    {
        std::vector<unsigned char> buffer(size);
        if (cache.FindFirst(buffer.data(), size) != CUrlCache::Ok)
            return;
        open = true;
        cache.Delete(buffer.data());
        for (;;)
        {
            const CUrlCache::Result result = cache.FindNext(buffer.data(), size);
            if (result == CUrlCache::Ok)
                cache.Delete(buffer.data());
            else if (result == CUrlCache::InsufficientBuffer)
                buffer = std::vector<unsigned char>(size); // the same entry again, in exactly the size it reported
            else
                break;
        }
    }
    catch (const std::bad_alloc&)
    {
    }
    if (open)
        cache.Close();
}
