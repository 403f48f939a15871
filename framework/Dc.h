#pragma once

#include "framework/LiveCounts.h"
#include "framework/Wnd.h"

// Owners of GDI objects and device contexts. Each releases what it holds when it goes; none can be copied.

// A GDI object (bitmap, brush, font, ...) that is deleted with its owner.
template <class Handle> class CGdiObject
{
public:
    CGdiObject() = default;
    explicit CGdiObject(Handle handle) : m_handle(handle)
    {
        if (m_handle)
            AfxCountGdiObject(1);
    }
    ~CGdiObject() { Reset(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other)
        {
            Reset();
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    void Reset(Handle handle = nullptr)
    {
        if (m_handle)
        {
            ::DeleteObject(m_handle);
            AfxCountGdiObject(-1);
        }
        m_handle = handle;
        if (m_handle)
            AfxCountGdiObject(1);
    }

private:
    Handle m_handle = nullptr;
};
// The owning names, as WTL has them: a CBitmap deletes its bitmap.
using CBitmap = CGdiObject<HBITMAP>;

// Selects an object into a device context and puts the previous one back.
class CSelectObject
{
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~CSelectObject()
    {
        if (m_previous)
            ::SelectObject(m_dc, m_previous);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The paint context of WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC
{
public:
    explicit CPaintDC(CWnd* wnd) : m_hwnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hwnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC m_hDC = nullptr;
    PAINTSTRUCT m_ps = {};
    operator HDC() const { return m_hDC; }

private:
    HWND m_hwnd;
};

// A memory device context compatible with another, deleted with its owner.
class CMemoryDC
{
public:
    explicit CMemoryDC(HDC compatibleWith) : m_hDC(::CreateCompatibleDC(compatibleWith))
    {
        if (m_hDC)
            AfxCountGdiObject(1);
    }
    ~CMemoryDC()
    {
        if (m_hDC)
        {
            ::DeleteDC(m_hDC);
            AfxCountGdiObject(-1);
        }
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC m_hDC;
    operator HDC() const { return m_hDC; }
};

// A window's client-area context from GetDC, released with its owner.
class CClientDC
{
public:
    explicit CClientDC(CWnd* wnd) : m_hwnd(wnd ? wnd->m_hWnd : nullptr), m_hDC(::GetDC(m_hwnd)) {}
    ~CClientDC()
    {
        if (m_hDC)
            ::ReleaseDC(m_hwnd, m_hDC);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    operator HDC() const { return m_hDC; }

private:
    HWND m_hwnd;
    HDC m_hDC;
};
