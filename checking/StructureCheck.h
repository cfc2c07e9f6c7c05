#pragma once

#include "Lines.h"
#include "SamplingData.h"

#include <cstdint>
#include <string_view>

// The block steps of the structure check over a line list. current is the
// 1-based number of the next line to examine; each step moves it past the
// lines it examines.
void CheckHeaderLine1(const TLineList& lines, std::int32_t& current, TSamplingData& data);
void CheckHeaderLine2(const TLineList& lines, std::int32_t& current, TSamplingData& data);
void CheckParameterLines(const TLineList& lines, std::int32_t& current, TSamplingData& data);

// Walks all blocks of lines with the three steps: sets LineCount,
// InvestigationCount and ParameterCount, adds the messages, and sets
// MessageText to "OK" when it is still empty. The file-name part of the check
// is left to the caller.
void CheckLines(const TLineList& lines, TSamplingData& data);

// The number in field 55: decimal with an optional sign, or hexadecimal behind
// "$", "x", "X", "0x" or "0X"; -1 when the field is no valid 32-bit number.
std::int32_t ConvertParameterCount(std::string_view field);
