#pragma once

#include <memory>
#include <string>
#include <vector>

namespace ZoGameBase
{

// Forward-only reader of the INI-style documents compiled into the client. The caller loads one document
// from memory, walks it section by section (sections only forwards), and inside the current section looks
// values up by key or reads entries by position. Entries are pointers into the object's copy of the
// document; nothing is ever written back.
class CZoIni
{
public:
    static constexpr int kScratchSize = 2048; // scratch and value buffers; values hold at most kScratchSize - 1
    static constexpr int kMaxSectionName = 255;

    CZoIni();
    virtual ~CZoIni();
    CZoIni(const CZoIni&) = delete;
    CZoIni& operator=(const CZoIni&) = delete;

    // Copies length bytes of text as the document. False for null text, a length of 0 or less, a document
    // already held (logged), or memory that cannot be had.
    bool LoadBuffer(const char* text, int length);
    void FreeBuffer();

    // Makes the next section at or after the read position current. False at the end of the document.
    bool NextSection();
    // Makes the first later section whose header text begins with name current. A search that runs off the
    // end leaves the read position there, so every later search of this document fails too.
    bool FindSection(const char* name);

    const char* GetSectionName() const { return m_szSectionName; }
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }

    // Value of the first "key=" entry of the current section; out is untouched on failure.
    bool ReadString(const char* key, std::string& out);
    // The same value through TextToInt.
    bool ReadInt(const char* key, int& out);
    // Entry index of the current section split at its first "=", blanks kept on both sides.
    bool ReadEntry(int index, std::string& key, std::string& value);

    // Messages reach the diagnostic log only while this is on; it is off after construction.
    void EnableLog(bool on) { m_bLog = on; }
    bool IsLogEnabled() const { return m_bLog; }

private:
    struct Line
    {
        const char* text = nullptr; // first non-blank character
        int length = 0;             // up to the last non-blank character
    };

    bool IsLoaded() const { return m_pBuffer && m_pPos && m_nLength > 0; }
    const char* End() const { return m_pBuffer.get() + m_nLength; }
    bool ReadLine(Line& line);
    bool ReadSignificantLine(Line& line);
    bool ReadSection(const char* name);
    bool LookUpValue(const char* key, char* value);

    std::unique_ptr<char[]> m_pBuffer; // the document with one zero byte appended
    const char* m_pPos = nullptr;
    const char* m_pLastLine = nullptr; // start of an unterminated final line, else the end of the document
    std::unique_ptr<char[]> m_pScratch;
    int m_nLength = 0;
    char m_szFileName[260] = {};
    char m_szSectionName[kMaxSectionName + 1] = {};
    std::vector<const char*> m_entries;
    bool m_bLog = false;
};

// Appends one "<message> -- <ctime>" record to ./debug/<year>_<month>_<day>.log, but only while the
// parser's log switch is on. Messages longer than the 2,048-byte buffer are cut.
void WriteDebugLog(const CZoIni* ini, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// The client's own switch of the diagnostic log (each parser has its own, for the document it reads): off unless a
// developer turns it on (the application does when LUMORA_DIAGNOSTIC_LOG is 1).
void EnableDiagnosticLog(bool on);
bool IsDiagnosticLogEnabled();
// One record, as WriteDebugLog writes it, while the client's switch is on.
void WriteDiagnosticLog(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Where WriteDebugLog takes the current time from; tests replace it to cross midnight. Null restores time().
using DebugLogClock = long long (*)();
void SetDebugLogClock(DebugLogClock clock);

// Decimal conversion as atoi does it (blanks, sign, digits up to the first other character, 0 without
// digits), except that values beyond the 32-bit range stop at INT_MAX or INT_MIN instead of overflowing.
int TextToInt(const char* text);

} // namespace ZoGameBase
