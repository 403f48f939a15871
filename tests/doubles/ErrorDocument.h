#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>

// A page's document as the browser hands it with its script-error question: its window's current event describes
// the error (message, line, character, address). One object answers for the document, its window and the event;
// it lives as long as its owner, whatever its reference count says.
class CErrorDocument : public IDispatch
{
public:
    CErrorDocument(std::wstring message, long line, long character, std::wstring url)
        : m_message(std::move(message)), m_line(line), m_character(character), m_url(std::move(url))
    {
    }
    virtual ~CErrorDocument() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        *ppv = iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        static const wchar_t* const known[] = {L"parentWindow", L"event",          L"errorMessage",
                                               L"errorLine",    L"errorCharacter", L"errorUrl"};
        for (UINT i = 0; i < count; ++i)
        {
            ids[i] = DISPID_UNKNOWN;
            for (DISPID k = 0; k < 6; ++k)
                if (std::wstring(names[i]) == known[k])
                    ids[i] = k + 1;
        }
        return count && ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (!result)
            return E_POINTER;
        ::VariantInit(result);
        switch (id)
        {
        case 1: // parentWindow
        case 2: // event
            result->vt = VT_DISPATCH;
            result->pdispVal = this;
            return S_OK;
        case 3:
        case 6:
            result->vt = VT_BSTR;
            result->bstrVal = ::SysAllocString((id == 3 ? m_message : m_url).c_str());
            return S_OK;
        case 4:
        case 5:
            result->vt = VT_I4;
            result->lVal = id == 4 ? m_line : m_character;
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    std::wstring m_message;
    long m_line, m_character;
    std::wstring m_url;
};
