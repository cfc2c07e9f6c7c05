#pragma once

#include "RtfControlWords.h"

#include <Qt>

#include <algorithm>
#include <cstdint>
#include <vector>

class QTextBlockFormat;

// Character and paragraph formatting as RTF states it, in twips and
// half-points, and its translation into the layout's block format.

// Twenty-two inches: more than any page, small enough for any layout.
constexpr int RtfMaxTwips = 31680;

inline int RtfTwips(int value) { return std::clamp(value, -RtfMaxTwips, RtfMaxTwips); }
inline double RtfTwipsToPixels(int twips) { return twips / 15.0; }

struct TRtfCharState {
    int Font = -1; // -1: the default font
    int HalfPoints = 24;
    int Color = 0;
    int8_t Vertical = 0; // -1 subscript, 1 superscript
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    bool Hidden = false;
    bool operator==(const TRtfCharState&) const = default;
};
struct TRtfParaState {
    Qt::Alignment Align = Qt::AlignLeft;
    int LeftIndent = 0;
    int RightIndent = 0;
    int FirstIndent = 0;
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    int LineSpacing = 0;
    bool LineMultiple = false;
    int ListOverride = 0;
    std::vector<int> Tabs;
};

// Applies a character formatting word; false for any other word.
bool ApplyCharWord(TRtfCharState& chr, TRtfWord word, bool hasParam, int param);
// Applies a paragraph formatting word; false for any other word.
bool ApplyParaWord(TRtfParaState& para, TRtfWord word, bool hasParam, int param);

QTextBlockFormat RtfBlockFormat(const TRtfParaState& para);
