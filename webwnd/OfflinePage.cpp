#include "webwnd/OfflinePage.h"

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
