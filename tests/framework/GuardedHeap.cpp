#include "tests/framework/GuardedHeap.h"

#include <windows.h>

#include <cstdlib>
#include <new>

namespace
{

constexpr size_t kPage = 4096;
constexpr size_t kHeader = 16; // the block's size, and the alignment new promises

char* g_base = nullptr;
size_t g_size = 0;
volatile LONG g_used = 0; // pages handed out
volatile LONG g_overflows = 0;

// The range is reserved on first use, before any test runs; the largest one the address space allows, up to 512 MiB.
void Reserve()
{
    if (g_base)
        return;
    for (size_t size = 512u << 20; size >= (32u << 20); size /= 2)
    {
        if (void* base = ::VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS))
        {
            g_base = static_cast<char*>(base);
            g_size = size;
            return;
        }
    }
}

bool Inside(const void* p)
{
    return g_base && p >= g_base && p < g_base + g_size;
}

void* Allocate(size_t size)
{
    Reserve();
    const size_t pages = (size + kHeader + kPage - 1) / kPage;
    const size_t first = static_cast<size_t>(::InterlockedExchangeAdd(&g_used, static_cast<LONG>(pages)));
    if (!g_base || (first + pages) * kPage > g_size)
    {
        ::InterlockedIncrement(&g_overflows);
        void* p = std::malloc(size ? size : 1);
        if (!p)
            throw std::bad_alloc();
        return p;
    }
    char* block = g_base + first * kPage;
    if (!::VirtualAlloc(block, pages * kPage, MEM_COMMIT, PAGE_READWRITE))
        throw std::bad_alloc();
    *reinterpret_cast<size_t*>(block) = size;
    return block + kHeader;
}

void Free(void* p)
{
    if (!p)
        return;
    if (!Inside(p))
    {
        std::free(p);
        return;
    }
    char* block = static_cast<char*>(p) - kHeader;
    const size_t size = *reinterpret_cast<size_t*>(block);
    ::VirtualFree(block, (size + kHeader + kPage - 1) / kPage * kPage, MEM_DECOMMIT);
}

} // namespace

bool GuardedHeapIsLive(const void* p)
{
    MEMORY_BASIC_INFORMATION info = {};
    return ::VirtualQuery(p, &info, sizeof info) == sizeof info && info.State == MEM_COMMIT;
}

size_t GuardedHeapOverflows()
{
    return static_cast<size_t>(g_overflows);
}

void* operator new(size_t size)
{
    return Allocate(size);
}

void* operator new[](size_t size)
{
    return Allocate(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return Allocate(size);
    }
    catch (...)
    {
        return nullptr;
    }
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return Allocate(size);
    }
    catch (...)
    {
        return nullptr;
    }
}

void operator delete(void* p) noexcept
{
    Free(p);
}

void operator delete[](void* p) noexcept
{
    Free(p);
}

void operator delete(void* p, size_t) noexcept
{
    Free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    Free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    Free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    Free(p);
}
