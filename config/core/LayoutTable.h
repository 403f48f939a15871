#pragma once

#include <cstdint>
#include <map>
#include <string>

// One rectangle of the layout document. What x, y, w and h measure depends on the window that reads it;
// Anchor 1 makes x count from the right edge of the owner's client area.
struct LayoutRect
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
    int32_t Anchor = 0;
};

// Section name (case-sensitive) to rectangle, filled once from the layout document.
class CLayoutTable
{
public:
    // Replaces the table with every section of the document; a later section of the same name wins.
    void Load(const char* text, int length);
    // The rectangle stored under exactly name, or null.
    const LayoutRect* FindLayout(const char* name) const;
    size_t Size() const { return m_layouts.size(); }

private:
    std::map<std::string, LayoutRect> m_layouts;
};
