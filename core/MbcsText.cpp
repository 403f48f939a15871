#include "core/MbcsText.h"

#include <cstring>

CMbcsCodePage::CMbcsCodePage()
{
    std::memset(m_lead, 0, sizeof m_lead);
}

CMbcsCodePage::CMbcsCodePage(const unsigned char* leadByteRanges) : CMbcsCodePage()
{
    for (const unsigned char* range = leadByteRanges; range && (range[0] || range[1]); range += 2)
    {
        for (unsigned b = range[0]; b <= range[1]; ++b)
            m_lead[b] = true;
    }
}

CMbcsCodePage CMbcsCodePage::Gbk()
{
    static const unsigned char ranges[] = {0x81, 0xFE, 0, 0};
    return CMbcsCodePage(ranges);
}

namespace
{

// Length of the character at text[i]: 2 for a lead byte that has a trail byte after it, else 1.
size_t CharLength(const std::string& text, size_t i, const CMbcsCodePage& codePage)
{
    const bool lead = codePage.IsLeadByte(static_cast<unsigned char>(text[i]));
    return lead && i + 1 < text.size() && text[i + 1] != '\0' ? 2 : 1;
}

} // namespace

void MbcsUpper(CAnsiString& ansi, const CMbcsCodePage& codePage)
{
    std::string& text = ansi.Bytes();
    for (size_t i = 0; i < text.size();)
    {
        const size_t length = CharLength(text, i, codePage);
        if (length == 1 && text[i] >= 'a' && text[i] <= 'z')
            text[i] = static_cast<char>(text[i] - 'a' + 'A');
        i += length;
    }
}

size_t MbcsFind(const CAnsiString& ansi, const CAnsiString& ansiNeedle, const CMbcsCodePage& codePage)
{
    const std::string& text = ansi.Bytes();
    const std::string& needle = ansiNeedle.Bytes();
    if (needle.empty())
        return 0;
    for (size_t i = 0; i + needle.size() <= text.size(); i += CharLength(text, i, codePage))
    {
        if (text.compare(i, needle.size(), needle) == 0)
            return i;
    }
    return std::string::npos;
}
