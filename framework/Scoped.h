#pragma once

#include "framework/Afx.h"

// Process-wide start-up and shutdown pairs, each owned by an object: started when the object is made, ended when
// it goes, and only if the start succeeded.

// OLE on the calling thread (OleInitialize / OleUninitialize).
class CScopedOle
{
public:
    CScopedOle() : m_hr(::OleInitialize(nullptr)) {}
    ~CScopedOle()
    {
        if (SUCCEEDED(m_hr))
            ::OleUninitialize();
    }
    CScopedOle(const CScopedOle&) = delete;
    CScopedOle& operator=(const CScopedOle&) = delete;

    bool Ok() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

// COM on the calling thread, in a single-threaded apartment (CoInitialize / CoUninitialize).
class CScopedCom
{
public:
    CScopedCom() : m_hr(::CoInitialize(nullptr)) {}
    ~CScopedCom()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    CScopedCom(const CScopedCom&) = delete;
    CScopedCom& operator=(const CScopedCom&) = delete;

    bool Ok() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

// GDI+ (GdiplusStartup / GdiplusShutdown). A start that fails is written to the debugger's output with its status:
// nothing draws then, and that line says why.
class CScopedGdiplus
{
public:
    CScopedGdiplus();
    ~CScopedGdiplus();
    CScopedGdiplus(const CScopedGdiplus&) = delete;
    CScopedGdiplus& operator=(const CScopedGdiplus&) = delete;

    bool Ok() const { return m_status == 0; }
    int Status() const { return m_status; } // Gdiplus::Status; 0 is Ok

private:
    ULONG_PTR m_token = 0;
    int m_status;
};

// One line for the debugger's output (OutputDebugString); text is UTF-8.
void AfxTrace(const char* text);
