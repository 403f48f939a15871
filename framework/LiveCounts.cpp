#include "framework/LiveCounts.h"

namespace
{

volatile LONG g_gdiObjects = 0;
volatile LONG g_windows = 0;
volatile LONG g_swallowed = 0;

} // namespace

AfxLiveCounts AfxGetLiveCounts()
{
    return AfxLiveCounts{g_gdiObjects, g_windows, g_swallowed};
}

void AfxCountGdiObject(int change)
{
    ::InterlockedExchangeAdd(&g_gdiObjects, change);
}

void AfxCountWindow(int change)
{
    ::InterlockedExchangeAdd(&g_windows, change);
}

void AfxCountSwallowed()
{
    ::InterlockedIncrement(&g_swallowed);
}

UINT AfxLiveCountsMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Lumora.LiveCounts");
    return message;
}
