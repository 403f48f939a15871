#include "host/ScriptError.h"

#include "framework/ComPtr.h"
#include "framework/Text.h"

namespace
{

// Property name of object, read through IDispatch; VT_EMPTY when it cannot be had.
VARIANT Property(IDispatch* object, const wchar_t* name)
{
    VARIANT value;
    ::VariantInit(&value);
    if (!object)
        return value;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return value;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (FAILED(
            object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr)))
        ::VariantInit(&value);
    return value;
}

// An object-valued property, as IDispatch.
CComPtr<IDispatch> ObjectProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT value = Property(object, name);
    CComPtr<IDispatch> result;
    if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal)
        value.punkVal->QueryInterface(IID_IDispatch, result.ReceiveVoid());
    ::VariantClear(&value);
    return result;
}

std::string TextProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT value = Property(object, name);
    std::string text;
    if (SUCCEEDED(::VariantChangeType(&value, &value, 0, VT_BSTR)) && value.bstrVal)
        text = AfxUtf8(std::wstring(value.bstrVal, ::SysStringLen(value.bstrVal)).c_str());
    ::VariantClear(&value);
    return text;
}

long NumberProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT value = Property(object, name);
    long number = 0;
    if (SUCCEEDED(::VariantChangeType(&value, &value, 0, VT_I4)))
        number = value.lVal;
    ::VariantClear(&value);
    return number;
}

} // namespace

CScriptError ReadScriptError(IUnknown* document)
{
    CScriptError error;
    CComPtr<IDispatch> page;
    if (!document || FAILED(document->QueryInterface(IID_IDispatch, page.ReceiveVoid())))
        return error;
    CComPtr<IDispatch> window = ObjectProperty(page.Get(), L"parentWindow");
    CComPtr<IDispatch> event = ObjectProperty(window.Get(), L"event");
    if (!event)
        return error;
    error.message = TextProperty(event.Get(), L"errorMessage");
    error.url = TextProperty(event.Get(), L"errorUrl");
    error.line = NumberProperty(event.Get(), L"errorLine");
    error.character = NumberProperty(event.Get(), L"errorCharacter");
    return error;
}
