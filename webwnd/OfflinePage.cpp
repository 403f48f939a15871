#include "webwnd/OfflinePage.h"

#include <exdisp.h>

#include "framework/ModulePath.h"
#include "framework/Text.h"
#include "res/resource.h"
#include "webwnd/core/OfflinePage.h"

namespace
{

// The browser control takes addresses of up to 2,083 characters; the rest of the fragment is cut.
const size_t kMaxAddress = 2048;

} // namespace

std::wstring OfflinePageAddress(const std::wstring& failed)
{
    const std::wstring& module = AfxGetModulePath().fullPath;
    const std::wstring page = AfxWide(AfxLoadString(IDS_OFFLINE_PAGE).c_str());
    if (module.empty() || page.empty())
        return std::wstring();
    const std::wstring address = L"res://" + module + L"/" + page + L"#";
    const size_t room = address.size() < kMaxAddress ? kMaxAddress - address.size() : 0;
    // The fragment is ASCII: one UTF-16 unit per byte.
    return address + AfxWide(FailedAddressFragment(AfxUtf8(failed.c_str()), room).c_str());
}

bool COfflinePageSwitch::Intercept(const VARIANT* url, const VARIANT* status, VARIANT_BOOL* cancel)
{
    VARIANT code;
    ::VariantInit(&code);
    if (!cancel || (status && SUCCEEDED(::VariantChangeType(&code, const_cast<VARIANT*>(status), 0, VT_I4)) &&
                    !IsServerUnreachable(code.lVal)))
        return false;
    const BSTR* text = AfxBstrOf(url);
    if (!text || ::SysStringLen(*text) == 0)
        return false;
    const std::wstring failed(*text, ::SysStringLen(*text));
    if (IsOwnPageAddress(AfxUtf8(failed.c_str())))
        return false;
    std::wstring page = OfflinePageAddress(failed);
    if (page.empty())
        return false;
    *cancel = VARIANT_TRUE;
    m_page.swap(page);
    return true;
}

void COfflinePageSwitch::Show(CWebBrowser& browser)
{
    if (m_page.empty() || !::IsWindow(browser.m_hWnd))
        return;
    if (!browser.IsWindowVisible())
        browser.ShowWindow(SW_SHOW);
    std::wstring page;
    page.swap(m_page);
    VARIANT flags, empty;
    ::VariantInit(&flags);
    ::VariantInit(&empty);
    flags.vt = VT_I4;
    flags.lVal = navNoHistory;
    browser.Navigate(page, &flags, &empty, &empty, &empty);
}
