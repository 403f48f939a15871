#pragma once

#include <cstddef>
#include <string>

#include "core/AnsiString.h"

// Lead bytes of a double-byte (or single-byte) narrow code page. The Win32 side builds it from the platform's
// information on the thread's code page (AfxThreadCodePage); tests use GBK.
class CMbcsCodePage
{
public:
    // A single-byte code page: no lead bytes.
    CMbcsCodePage();
    // Lead bytes given as inclusive pairs of bytes, ended by a zero pair, as GetCPInfo reports them.
    explicit CMbcsCodePage(const unsigned char* leadByteRanges);
    static CMbcsCodePage Gbk();

    bool IsLeadByte(unsigned char byte) const { return m_lead[byte]; }

private:
    bool m_lead[256];
};

// Upper-cases the single-byte letters a to z; a double-byte character (a lead byte and its trail byte)
// stays as it is, even where the trail byte is a letter.
void MbcsUpper(CAnsiString& text, const CMbcsCodePage& codePage);

// Position of the first occurrence of needle that starts on a character boundary of text, or npos.
// An empty needle is found at 0.
size_t MbcsFind(const CAnsiString& text, const CAnsiString& needle, const CMbcsCodePage& codePage);
