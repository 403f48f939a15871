#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The client's own page for a server that cannot be reached. It is a resource of the executable, reached through the
// res: protocol; its own address carries the address that failed after the "#", percent-encoded, and its Retry link
// leads back there. Text here is UTF-8.

// The failed address as the page's fragment: percent-encoded as encodeURIComponent does (letters, digits and
// - _ . ! ~ * ' ( ) stay, every other byte of the UTF-8 becomes %XX), cut to at most maxLength characters at the end
// of a whole character, never inside one or inside an escape. Bytes that are not UTF-8 are encoded as they are.
std::string FailedAddressFragment(const std::string& failedUtf8, size_t maxLength);

// Whether the status of the browser's NavigateError says the server could not be reached: one of the browser's own
// failure codes (a negative HRESULT: no connection, no name, a time-out), or a gateway's 502, 503 or 504. Any other
// HTTP status comes from a server that was reached, and its page is the browser's to show.
bool IsServerUnreachable(int32_t status);

// Whether an address is one of the client's own pages (the res: scheme, in any letter case): the client never
// shows its page in place of one of them, so a page of its own that fails is not tried again and again.
bool IsOwnPageAddress(const std::string& address);

// What the page's Retry link leads to, as the page's script reads it from the page's own address: the fragment
// decoded (decodeURIComponent), when it is an http or https address; empty otherwise (no fragment, an escape that
// does not decode, or any other scheme, which the link never follows).
std::string RetryTarget(const std::string& pageAddress);
