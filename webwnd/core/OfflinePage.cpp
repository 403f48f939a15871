#include "webwnd/core/OfflinePage.h"

#include <cctype>
#include <cstring>

namespace
{

bool KeptAsItIs(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != 0 && std::strchr("-_.!~*'()", c) != nullptr);
}

// The length of the UTF-8 character that starts at text[at] (1 for a byte that starts none).
size_t CharacterLength(const std::string& text, size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (at + length > text.size())
        return 1;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return 1;
    return length;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    for (size_t i = 0; prefix[i]; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

std::string FailedAddressFragment(const std::string& failedUtf8, size_t maxLength)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string fragment;
    for (size_t at = 0; at < failedUtf8.size();)
    {
        const size_t length = CharacterLength(failedUtf8, at);
        std::string encoded;
        for (size_t k = 0; k < length; ++k)
        {
            const unsigned char c = static_cast<unsigned char>(failedUtf8[at + k]);
            if (KeptAsItIs(c))
                encoded += static_cast<char>(c);
            else
                encoded += {'%', kHex[c >> 4], kHex[c & 15]};
        }
        if (fragment.size() + encoded.size() > maxLength)
            break;
        fragment += encoded;
        at += length;
    }
    return fragment;
}

bool IsServerUnreachable(int32_t status)
{
    return status < 0 || status == 502 || status == 503 || status == 504;
}

bool IsOwnPageAddress(const std::string& address)
{
    return StartsWithNoCase(address, "res:");
}

std::string RetryTarget(const std::string& pageAddress)
{
    const size_t hash = pageAddress.find('#');
    if (hash == std::string::npos)
        return std::string();
    std::string decoded;
    for (size_t at = hash + 1; at < pageAddress.size(); ++at)
    {
        if (pageAddress[at] != '%')
        {
            decoded += pageAddress[at];
            continue;
        }
        const int high = at + 2 < pageAddress.size() ? HexValue(pageAddress[at + 1]) : -1;
        const int low = high >= 0 ? HexValue(pageAddress[at + 2]) : -1;
        if (low < 0)
            return std::string(); // decodeURIComponent throws: the link keeps leading nowhere
        decoded += static_cast<char>(high * 16 + low);
        at += 2;
    }
    // decodeURIComponent throws on bytes that are no UTF-8 too.
    for (size_t at = 0; at < decoded.size(); at += CharacterLength(decoded, at))
        if (static_cast<unsigned char>(decoded[at]) >= 0x80 && CharacterLength(decoded, at) == 1)
            return std::string();
    if (!StartsWithNoCase(decoded, "http://") && !StartsWithNoCase(decoded, "https://"))
        return std::string();
    return decoded;
}
