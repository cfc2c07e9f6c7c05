#pragma once

#include <span>
#include <string_view>

// The blocks of the main window's detail area beside the analysis grid, as a
// printed report repeats them: column by column, each with its colours and its
// fields in reading order. Derived from the window's layout when building, so
// the report shows the window's blocks without reading the window back. Texts
// are UTF-8; titles carry no colon.

struct TLayoutColour {
    int Red;
    int Green;
    int Blue;
};

struct TLayoutBlock {
    std::string_view Title; // "Entnahmestelle"
    TLayoutColour Colour;
    TLayoutColour TitleColour;
    std::span<const int> Fields;
    // A block without fields (the file format's) shows the texts of these
    // labels, top to bottom; the window fills some of them when it opens a file.
    std::span<const std::string_view> TextLabels;
};

std::span<const TLayoutBlock> LayoutBlocks();
