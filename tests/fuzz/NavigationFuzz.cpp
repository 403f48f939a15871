// Feeds arbitrary addresses and keys to the navigation watch's decision, in a double-byte and a single-byte code
// page: it must not crash, it must find a game page exactly when the game-server test (which it calls after folding
// its keys in place) says so on the untouched inputs (and the address is none of the client's own pages), and the
// folded keys must classify the next address the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/core/SiteUrlTable.h"
#include "webwnd/core/NavigationWatch.h"
#include "webwnd/core/OfflinePage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const CMbcsCodePage codePage = (data[0] & 1) ? CMbcsCodePage::Gbk() : CMbcsCodePage();
    // The rest: address, suffix and prefix, separated by zero bytes.
    std::string parts[3];
    int part = 0;
    for (size_t i = 1; i < size; ++i)
    {
        if (data[i] == 0 && part < 2)
            ++part;
        else
            parts[part] += static_cast<char>(data[i]);
    }
    const CAnsiString address(parts[0]), suffix(parts[1]), prefix(parts[2]);
    const bool gameServer = IsGameServerUrl(address, suffix, prefix, codePage) && !IsOwnPageAddress(address.Bytes());

    CAnsiString watched = address, loginKey = suffix, loginKeyPre = prefix;
    const PageKind kind = ClassifyNavigation(watched, loginKey, loginKeyPre, codePage);
    if ((kind == PageKind::GamePage) != gameServer)
        std::abort();
    // Folded once, the fields fold to themselves: a second event classifies the same way.
    CAnsiString again = address;
    if (ClassifyNavigation(again, loginKey, loginKeyPre, codePage) != kind)
        std::abort();
    return 0;
}
