#include "webwnd/ClearBrowserCache.h"

#include <windows.h>

#include <wininet.h>

#include "webwnd/core/CachePurge.h"

namespace
{

// The WinINet cache, enumerated without a search pattern.
class CWinInetCache : public CUrlCache
{
public:
    Result FindFirst(void* buffer, uint32_t& size) override
    {
        DWORD bytes = size;
        HANDLE handle = ::FindFirstUrlCacheEntryA(nullptr, static_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer), &bytes);
        size = bytes;
        if (!handle)
            return LastError();
        m_handle = handle;
        return Ok;
    }
    Result FindNext(void* buffer, uint32_t& size) override
    {
        DWORD bytes = size;
        const BOOL found = ::FindNextUrlCacheEntryA(m_handle, static_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer), &bytes);
        size = bytes;
        return found ? Ok : LastError();
    }
    void Delete(const void* entry) override
    {
        const auto* info = static_cast<const INTERNET_CACHE_ENTRY_INFOA*>(entry);
        // Windows enumerates no cookies or history here; Wine does, and they must stay.
        if (info->CacheEntryType & (COOKIE_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY))
            return;
        if (info->lpszSourceUrlName)
            ::DeleteUrlCacheEntryA(info->lpszSourceUrlName);
    }
    void Close() override
    {
        if (m_handle)
            ::FindCloseUrlCache(m_handle);
        m_handle = nullptr;
    }

private:
    static Result LastError()
    {
        switch (::GetLastError())
        {
        case ERROR_INSUFFICIENT_BUFFER:
            return InsufficientBuffer;
        case ERROR_NO_MORE_ITEMS:
            return NoMoreItems;
        default:
            return Failed;
        }
    }

    HANDLE m_handle = nullptr;
};

} // namespace

void ClearBrowserCache()
{
    CWinInetCache cache;
    PurgeUrlCache(cache);
}
