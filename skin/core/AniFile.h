#pragma once

#include <map>
#include <string>
#include <vector>

using FrameList = std::vector<std::string>;

// The frame lists of the animation document: per section, the image resource ids of one skin surface, held
// as text in index order.
class CAniFile
{
public:
    // Longest list a section may announce. A longer count (far beyond any skin, whose surfaces need nine
    // entries at most) or one whose list cannot be allocated is refused: the section gets an empty list, and the
    // diagnostic log says so.
    static constexpr int kMaxFrames = 1000000;

    CAniFile() = default;
    virtual ~CAniFile() = default;

    // Reads every section of a zero-terminated document. False only for null text.
    bool LoadFromText(const char* text);
    // The list of the section named exactly name, or null. Valid until the next LoadFromText.
    const FrameList* GetFrames(const char* name) const;

    // Turns the parser's diagnostic log on or off for the loads that follow; off after construction.
    void EnableLog(bool on) { m_bLog = on; }

private:
    std::map<std::string, FrameList> m_frames;
    bool m_bLog = false;
};
