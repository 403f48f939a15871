#include "framework/Text.h"

namespace
{

std::wstring ToWide(UINT codePage, const char* text)
{
    if (!text || !*text)
        return std::wstring();
    const int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

std::string FromWide(UINT codePage, const wchar_t* wide)
{
    if (!wide || !*wide)
        return std::string();
    const int length = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide, -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length) - 1);
    return text;
}

} // namespace

std::wstring AfxWide(const char* utf8)
{
    return ToWide(CP_UTF8, utf8);
}

std::string AfxUtf8(const wchar_t* wide)
{
    return FromWide(CP_UTF8, wide);
}

std::wstring AfxWideFromNarrow(const char* narrow)
{
    return ToWide(CP_THREAD_ACP, narrow);
}
