#include "framework/Text.h"

#include <climits>

namespace
{

std::wstring ToWide(UINT codePage, const char* text, size_t length)
{
    if (!text || length == 0 || length > INT_MAX)
        return std::wstring();
    const int units = ::MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), &wide[0], units);
    return wide;
}

std::string FromWide(UINT codePage, const wchar_t* wide, size_t length)
{
    if (!wide || length == 0 || length > INT_MAX)
        return std::string();
    const int bytes = ::WideCharToMultiByte(codePage, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string text(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(codePage, 0, wide, static_cast<int>(length), &text[0], bytes, nullptr, nullptr);
    return text;
}

size_t LengthUpTo(const wchar_t* wide, size_t limit)
{
    size_t length = 0;
    while (length < limit && wide[length])
        ++length;
    return length;
}

} // namespace

std::wstring AfxWide(const char* utf8)
{
    return utf8 ? ToWide(CP_UTF8, utf8, std::char_traits<char>::length(utf8)) : std::wstring();
}

std::string AfxUtf8(const wchar_t* wide)
{
    return wide ? FromWide(CP_UTF8, wide, LengthUpTo(wide, std::wstring::npos)) : std::string();
}

std::wstring AfxWideFromAnsi(const CAnsiString& ansi)
{
    return ToWide(CP_THREAD_ACP, ansi.Ansi(), std::char_traits<char>::length(ansi.Ansi()));
}

CAnsiString AfxAnsiFromWide(const wchar_t* wide, size_t length)
{
    if (!wide)
        return CAnsiString();
    return CAnsiString(FromWide(CP_THREAD_ACP, wide, LengthUpTo(wide, length)));
}

CMbcsCodePage AfxThreadCodePage()
{
    CPINFO info = {};
    if (!::GetCPInfo(CP_THREAD_ACP, &info) || info.MaxCharSize < 2)
        return CMbcsCodePage();
    // LeadByte holds up to five ranges and ends with a zero pair; the last pair is always zero.
    unsigned char ranges[MAX_LEADBYTES + 2] = {};
    for (int i = 0; i < MAX_LEADBYTES; ++i)
        ranges[i] = info.LeadByte[i];
    return CMbcsCodePage(ranges);
}

std::string AfxLoadString(UINT id)
{
    // With a length of 0, LoadStringW hands out a pointer to the resource's own text, which has no terminator.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return std::string();
    return AfxUtf8(std::wstring(text, static_cast<size_t>(length)).c_str());
}

const BSTR* AfxBstrOf(const VARIANT* value)
{
    if (value && value->vt == VT_BSTR)
        return &value->bstrVal;
    if (value && value->vt == (VT_BYREF | VT_BSTR))
        return value->pbstrVal;
    return nullptr;
}
