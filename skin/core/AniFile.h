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
    // Longest list a section may announce; longer counts are cut to it (no skin surface needs more than nine).
    static constexpr int kMaxFrames = 4096;

    CAniFile() = default;
    virtual ~CAniFile() = default;

    // Reads every section of a zero-terminated document. False only for null text.
    bool LoadFromText(const char* text);
    // The list of the section named exactly name, or null. Valid until the next LoadFromText.
    const FrameList* GetFrames(const char* name) const;

private:
    std::map<std::string, FrameList> m_frames;
};
