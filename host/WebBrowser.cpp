#include "host/WebBrowser.h"

const CLSID CWebBrowser::kClassId = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

void CWebBrowser::Navigate(const CAnsiString& address, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                           VARIANT* headers)
{
    InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr, address, flags, targetFrameName, postData, headers);
}

void CWebBrowser::Navigate(const std::wstring& address, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                           VARIANT* headers)
{
    InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr, address, flags, targetFrameName, postData, headers);
}

void CWebBrowser::Refresh()
{
    InvokeHelper(DISPID_REFRESH, DISPATCH_METHOD, VT_EMPTY, nullptr);
}
