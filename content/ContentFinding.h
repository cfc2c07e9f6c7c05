#pragma once

#include "CheckMessages.h"

#include <cstdint>
#include <string>

// One finding of the content check: a message of the table at the line of
// the field concerned. A window finds the examination and the parameter row
// from Investigation and Parameter; the line alone is enough as well, since
// every line of a file that passed the structure check belongs to exactly one
// examination.
struct TContentFinding {
    std::int32_t Line = 0; // the line of the field concerned, from 1
    ECheckMessage Code = ECheckMessage::LabSampleIdMissing;
    std::int32_t Field = 0; // the field concerned (for 29: 44)
    std::string Value; // what fills the "$" of the text, Windows-1252; empty where it has none
    std::int32_t Investigation = 0; // the examination, from 1 in file order
    std::int32_t InvestigationLine = 0; // the line of its header line 1
    std::int32_t Parameter = -1; // the parameter line within the examination, from 0; -1 for master data

    // The table text with "$" filled, without the "Zeile" prefix; Windows-1252.
    std::string Text() const;
};
