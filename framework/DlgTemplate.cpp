#include "framework/DlgTemplate.h"

#include <cstring>

namespace
{

// Reads a dialog template in either of its two layouts without ever reading past its end.
class CTemplateReader
{
public:
    CTemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    size_t Offset() const { return m_pos; }
    bool Ok() const { return m_ok; }

    template <class T> T Read()
    {
        T value = T();
        if (m_pos + sizeof(T) > m_size)
        {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    void Skip(size_t n)
    {
        if (m_pos + n > m_size)
            m_ok = false;
        else
            m_pos += n;
    }
    void AlignDword() { Skip((4 - (m_pos & 3)) & 3); }

    // A name or ordinal field: 0x0000 for none, 0xFFFF and an ordinal, or a zero-terminated string.
    std::wstring ReadSzOrOrd()
    {
        const WORD first = Read<WORD>();
        if (first == 0)
            return std::wstring();
        if (first == 0xFFFF)
        {
            Read<WORD>();
            return std::wstring();
        }
        std::wstring text(1, static_cast<wchar_t>(first));
        while (m_ok)
        {
            const WORD c = Read<WORD>();
            if (c == 0)
                break;
            text += static_cast<wchar_t>(c);
        }
        return text;
    }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

void AppendAligned(std::vector<BYTE>& out, const BYTE* data, size_t size)
{
    while (out.size() & 3)
        out.push_back(0);
    out.insert(out.end(), data, data + size);
}

} // namespace

bool AfxSplitDialogTemplate(const BYTE* data, size_t size, AfxDialogTemplate& out)
{
    out = AfxDialogTemplate();
    if (!data)
        return false;
    CTemplateReader reader(data, size);
    const bool extended = size >= 4 && reinterpret_cast<const WORD*>(data)[1] == 0xFFFF;

    if (extended)
        reader.Skip(2 + 2 + 4 + 4); // version, signature, help id, extended style
    const DWORD style = reader.Read<DWORD>();
    if (!extended)
        reader.Skip(4); // extended style
    const size_t countOffset = reader.Offset();
    const WORD count = reader.Read<WORD>();
    reader.Skip(8);       // position and size
    reader.ReadSzOrOrd(); // menu
    reader.ReadSzOrOrd(); // class
    reader.ReadSzOrOrd(); // title
    if (style & DS_SETFONT)
    {
        reader.Skip(extended ? 2 + 2 + 1 + 1 : 2);
        reader.ReadSzOrOrd(); // typeface
    }
    if (!reader.Ok())
        return false;
    out.bytes.assign(data, data + reader.Offset());

    WORD kept = 0;
    for (WORD i = 0; i < count; ++i)
    {
        reader.AlignDword();
        const size_t start = reader.Offset();
        AfxOleControlItem item;
        short rect[4] = {};
        if (extended)
        {
            reader.Skip(4);
            item.exStyle = reader.Read<DWORD>();
            item.style = reader.Read<DWORD>();
            for (short& v : rect)
                v = reader.Read<short>();
            item.id = reader.Read<DWORD>();
        }
        else
        {
            item.style = reader.Read<DWORD>();
            item.exStyle = reader.Read<DWORD>();
            for (short& v : rect)
                v = reader.Read<short>();
            item.id = reader.Read<WORD>();
        }
        const std::wstring className = reader.ReadSzOrOrd();
        reader.ReadSzOrOrd();             // title
        reader.Skip(reader.Read<WORD>()); // creation data
        if (!reader.Ok())
            return false;

        if (!className.empty() && className[0] == L'{' &&
            SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(className.c_str()), &item.clsid)))
        {
            item.dluRect = {rect[0], rect[1], rect[0] + rect[2], rect[1] + rect[3]};
            item.templateIndex = i;
            out.oleControls.push_back(item);
        }
        else
        {
            AppendAligned(out.bytes, data + start, reader.Offset() - start);
            ++kept;
        }
    }
    std::memcpy(out.bytes.data() + countOffset, &kept, sizeof kept);
    return true;
}

bool AfxLoadDialogTemplate(HMODULE module, UINT id, AfxDialogTemplate& out)
{
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    if (!resource)
        return false;
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return false;
    return AfxSplitDialogTemplate(static_cast<const BYTE*>(data), ::SizeofResource(module, resource), out);
}
