#pragma once

#include <cstddef>
#include <string>
#include <utility>

// The client's two kinds of narrow text.
//
// Plain char text (const char*, std::string) is UTF-8 everywhere in the program: window titles, message boxes,
// labels, what the sources spell out.
//
// Text in the thread's ANSI code page (GBK on Chinese systems, 1252 on western ones) is a CAnsiString: the site
// addresses and what is compared with them, the profile key, the paths and addresses handed to the shell's and
// the browser's narrow calls. It does not convert from or to plain text by itself, so handing one kind where the
// other is expected does not compile; Ansi() spells out the bytes where a narrow call takes them.
class CAnsiString
{
public:
    CAnsiString() = default;
    explicit CAnsiString(std::string bytes) : m_bytes(std::move(bytes)) {}
    explicit CAnsiString(const char* bytes) : m_bytes(bytes ? bytes : "") {}

    // The zero-terminated bytes, for a call that takes code-page text.
    const char* Ansi() const { return m_bytes.c_str(); }
    const std::string& Bytes() const { return m_bytes; }
    std::string& Bytes() { return m_bytes; }
    size_t Size() const { return m_bytes.size(); }
    bool Empty() const { return m_bytes.empty(); }

    bool operator==(const CAnsiString& other) const { return m_bytes == other.m_bytes; }
    bool operator!=(const CAnsiString& other) const { return m_bytes != other.m_bytes; }

private:
    std::string m_bytes;
};
