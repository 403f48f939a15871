#pragma once

#include "framework/Afx.h"

#include <utility>

// Owners of COM references and variants. Each releases what it holds when it goes; none can be copied.

// One reference to a COM interface.
template <class T> class CComPtr
{
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other)
        {
            Reset();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }

    // Takes a reference of its own to p (for pointers that arrive as plain arguments).
    static CComPtr Share(T* p)
    {
        CComPtr result;
        result.m_p = p;
        if (p)
            p->AddRef();
        return result;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Releases what is held and gives the slot to a call that hands out a new reference.
    T** Receive()
    {
        Reset();
        return &m_p;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    // Queries from for interface iid into this owner; the result of QueryInterface.
    HRESULT QueryFrom(IUnknown* from, REFIID iid)
    {
        Reset();
        return from ? from->QueryInterface(iid, ReceiveVoid()) : E_POINTER;
    }

    // Hands the reference to the caller (an out parameter of a COM method).
    T* Detach()
    {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    void Reset()
    {
        if (T* p = Detach())
            p->Release();
    }

private:
    T* m_p = nullptr;
};

// A VARIANT that is cleared when it goes.
class CComVariant
{
public:
    CComVariant() { ::VariantInit(&m_var); }
    ~CComVariant() { ::VariantClear(&m_var); }
    CComVariant(const CComVariant&) = delete;
    CComVariant& operator=(const CComVariant&) = delete;

    VARIANT* Ptr() { return &m_var; }
    VARIANT& Get() { return m_var; }
    const VARIANT& Get() const { return m_var; }
    void Clear() { ::VariantClear(&m_var); }

private:
    VARIANT m_var;
};
