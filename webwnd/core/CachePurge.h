#pragma once

#include <cstdint>

// The platform's URL cache as the purge sees it: an enumeration of entries into a caller's buffer, and deletion of
// the entry a buffer holds. Each enumeration call takes the size the last call reported (not the buffer's capacity)
// and overwrites it: with the size it needs when that is too small, with the size of the entry it returned when it
// succeeds.
class CUrlCache
{
public:
    enum Result
    {
        Ok,
        InsufficientBuffer, // size now holds the size needed; the enumeration has not moved on
        NoMoreItems,
        Failed,
    };

    virtual ~CUrlCache() = default;
    // The first entry; with no buffer, only its size. Ok starts an enumeration that Close ends.
    virtual Result FindFirst(void* buffer, uint32_t& size) = 0;
    virtual Result FindNext(void* buffer, uint32_t& size) = 0;
    // Deletes the entry whose record the buffer holds; whether that works is not examined.
    virtual void Delete(const void* entry) = 0;
    virtual void Close() = 0;
};

// Deletes every entry the cache enumerates, with one buffer replaced only when a call reports it too small (by a new
// one of exactly the reported size). An empty cache, a cache that cannot be enumerated, or a failure of the first
// full call allocate or delete nothing more; an enumeration error other than the size ends the purge early, and what
// was deleted stays deleted. Running out of memory ends it as well.
void PurgeUrlCache(CUrlCache& cache);
