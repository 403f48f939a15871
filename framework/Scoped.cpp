#include "framework/Scoped.h"

#include <gdiplus.h>

#include <string>

#include "framework/Text.h"

CScopedGdiplus::CScopedGdiplus()
{
    Gdiplus::GdiplusStartupInput input;
    m_status = static_cast<int>(Gdiplus::GdiplusStartup(&m_token, &input, nullptr));
    if (!Ok())
        AfxTrace(("GDI+ did not start (status " + std::to_string(m_status) + "); nothing will be drawn").c_str());
}

CScopedGdiplus::~CScopedGdiplus()
{
    if (Ok())
        Gdiplus::GdiplusShutdown(m_token);
}

void AfxTrace(const char* text)
{
    ::OutputDebugStringW((AfxWide(text) + L"\n").c_str());
}
