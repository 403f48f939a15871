#include "config/core/ZoIni.h"

#include <climits>
#include <cstring>
#include <new>

namespace ZoGameBase
{

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

bool IsComment(const char* line)
{
    // The copy is zero-terminated, so looking at line[1] after a first '/' stays inside it.
    return line[0] == ';' || (line[0] == '/' && line[1] == '/');
}

bool IsHeader(const char* line, int length)
{
    return length >= 2 && line[0] == '[' && line[length - 1] == ']';
}

} // namespace

CZoIni::CZoIni() = default;

CZoIni::~CZoIni()
{
    FreeBuffer();
}

bool CZoIni::LoadBuffer(const char* text, int length)
{
    if (!text || length <= 0)
        return false;
    if (m_pBuffer || m_pScratch)
    {
        WriteDebugLog(this, "%s file operation error, you must free buffer first", m_szFileName);
        return false;
    }
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
    std::unique_ptr<char[]> scratch(new (std::nothrow) char[kScratchSize]);
    if (!buffer || !scratch)
        return false;
    std::memcpy(buffer.get(), text, static_cast<size_t>(length));
    buffer[length] = '\0';
    std::memset(scratch.get(), 0, kScratchSize);
    m_pBuffer = std::move(buffer);
    m_pScratch = std::move(scratch);
    m_nLength = length;
    m_pPos = m_pBuffer.get();
    m_pLastLine = End();
    return true;
}

void CZoIni::FreeBuffer()
{
    m_pBuffer.reset();
    m_pScratch.reset();
    m_pPos = nullptr;
    m_pLastLine = nullptr;
    m_nLength = 0;
    m_szFileName[0] = '\0';
    m_szSectionName[0] = '\0';
    m_entries.clear(); // keeps its storage for the next document
}

// Reads the line at the read position. A final line that runs into the end of the document without a line
// end (or with a lone CR) moves the last-line mark to where its reading began.
bool CZoIni::ReadLine(Line& line)
{
    const char* end = End();
    if (!m_pPos || m_pPos >= end)
        return false;
    const char* start = m_pPos;
    const char* p = start;
    while (p < end && IsBlank(*p))
        ++p;
    const char* first = p;
    const char* lastNonBlank = nullptr;
    while (p < end && !IsLineEnd(*p))
    {
        if (!IsBlank(*p))
            lastNonBlank = p;
        ++p;
    }
    line.text = first;
    line.length = lastNonBlank ? static_cast<int>(lastNonBlank - first) + 1 : 0;

    // A CR always takes the character after it along, whatever that is.
    const char* next = p >= end ? end + 1 : (*p == '\r' ? p + 2 : p + 1);
    if (next > end)
    {
        m_pLastLine = start;
        m_pPos = end;
        return line.length != 0;
    }
    m_pPos = next;
    return true;
}

bool CZoIni::ReadSignificantLine(Line& line)
{
    while (ReadLine(line))
    {
        if (line.length != 0 && !IsComment(line.text))
            return true;
    }
    return false;
}

// Finds the next header (the next one at all for a null name, else the next whose text after "[" begins
// with name), makes it current and collects its entries up to the following header.
bool CZoIni::ReadSection(const char* name)
{
    m_entries.clear();
    Line line;
    const size_t nameLength = name ? std::strlen(name) : 0;
    for (;;)
    {
        if (!ReadSignificantLine(line))
            return false;
        if (IsHeader(line.text, line.length) && (!name || std::strncmp(line.text + 1, name, nameLength) == 0))
            break;
    }
    const int titleLength = line.length - 2;
    if (titleLength > kMaxSectionName)
    {
        WriteDebugLog(this, "%s %s title too long wrong!", m_szFileName, m_szSectionName);
        return false;
    }
    std::memcpy(m_szSectionName, line.text + 1, static_cast<size_t>(titleLength));
    m_szSectionName[titleLength] = '\0';

    for (;;)
    {
        if (!ReadSignificantLine(line))
            break;
        if (IsHeader(line.text, line.length))
        {
            // Step back so that the next search sees this header again.
            m_pPos = line.text;
            break;
        }
        m_entries.push_back(line.text);
    }
    return true;
}

bool CZoIni::NextSection()
{
    if (!IsLoaded())
        return false;
    return ReadSection(nullptr);
}

bool CZoIni::FindSection(const char* name)
{
    if (!name || !*name || !IsLoaded())
        return false;
    return ReadSection(name);
}

// Copies the value of key into value (kScratchSize bytes, zero-filled first).
bool CZoIni::LookUpValue(const char* key, char* value)
{
    if (!key || !*key)
    {
        WriteDebugLog(this, "read %s key wrong!", m_szFileName);
        return false;
    }
    std::memset(value, 0, kScratchSize);
    if (!IsLoaded())
        return false;

    const size_t keyLength = std::strlen(key);
    const char* entry = nullptr;
    for (const char* candidate : m_entries)
    {
        if (std::strncmp(candidate, key, keyLength) == 0 && candidate[keyLength] == '=')
        {
            entry = candidate;
            break;
        }
    }
    if (!entry)
        return false;

    const char* p = entry + keyLength + 1;
    const char* end = End();
    if (p >= m_pLastLine)
    {
        // The unterminated final line: everything up to the end of the document, leading spaces included.
        size_t n = 0;
        while (p + n < end && p[n] != '\0' && n < kScratchSize - 1)
            ++n;
        std::memcpy(value, p, n);
        return true;
    }
    if (IsLineEnd(*p))
    {
        WriteDebugLog(this, "%s key: %s format wrong!", m_szFileName, key);
        return false;
    }
    while (*p == ' ')
        ++p;
    size_t n = 0;
    while (!IsLineEnd(p[n]) && n < kScratchSize - 1)
        ++n;
    std::memcpy(value, p, n);
    return true;
}

bool CZoIni::ReadString(const char* key, std::string& out)
{
    char value[kScratchSize];
    if (!LookUpValue(key, value))
        return false;
    out = value;
    return true;
}

bool CZoIni::ReadInt(const char* key, int& out)
{
    char value[kScratchSize];
    if (!LookUpValue(key, value))
        return false;
    out = TextToInt(value);
    return true;
}

bool CZoIni::ReadEntry(int index, std::string& key, std::string& value)
{
    if (!IsLoaded())
        return false;
    if (index < 0 || index >= GetEntryCount())
    {
        WriteDebugLog(this, "read %s file Index %d error!", m_szFileName, index);
        return false;
    }
    const char* entry = m_entries[static_cast<size_t>(index)];
    const char* end = End();
    char* scratch = m_pScratch.get();
    // Entries longer than the scratch buffer are cut to fit it.
    size_t n = 0;
    while (entry + n < end && entry[n] != '\r' && entry[n] != '\n' && entry[n] != '\0' && n < kScratchSize - 1)
        ++n;
    std::memcpy(scratch, entry, n);
    scratch[n] = '\0';

    char* equals = std::strchr(scratch, '=');
    if (!equals)
    {
        // No "=": the whole line is the key and there is no value.
        key = scratch;
        value.clear();
        return true;
    }
    *equals = '\0';
    key = scratch;
    value = equals + 1;
    return true;
}

int TextToInt(const char* text)
{
    if (!text)
        return 0;
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
    {
        value = value * 10 + (*p - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break; // clamped below; the rest of the digits cannot bring it back
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace ZoGameBase
