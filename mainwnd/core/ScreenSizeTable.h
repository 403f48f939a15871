#pragma once

#include <cstdint>
#include <vector>


// The width and height tables of the resolution document. Each entry is one word: window size in the high
// 16 bits, the smallest work-area size it holds for in the low 16 bits; tables are sorted descending.
class CScreenSizeTables
{
public:
    // Fills both tables from the document's Width and Height sections (Width must come first).
    void Load(const char* text, int length);

    // Window size for a work-area width (width true) or height: the first entry in sorted order whose screen
    // size is not above size. 0 for an empty table, and when size is below every listed screen size.
    int LookupScreenSize(int size, bool width) const;

    const std::vector<uint32_t>& Widths() const { return m_widths; }
    const std::vector<uint32_t>& Heights() const { return m_heights; }

private:
    std::vector<uint32_t> m_widths;
    std::vector<uint32_t> m_heights;
};
