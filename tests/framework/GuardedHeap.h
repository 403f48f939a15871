#pragma once

#include <cstddef>

// A guarded heap for one test program: linked in, it replaces operator new and delete. Every allocation gets pages
// of its own from one reserved range, and delete decommits them, so touching an object after it was freed faults
// at once (the test program crashes, and the test fails) instead of reading whatever the heap put there. No address
// is handed out twice. For catching use-after-free under Wine, where the native sanitizers cannot look.

// Whether the pages at p are committed (a live allocation) or not (freed, or never allocated).
bool GuardedHeapIsLive(const void* p);
// Allocations that did not fit the reserved range and came from the ordinary heap, unguarded; tests check it is 0.
size_t GuardedHeapOverflows();
