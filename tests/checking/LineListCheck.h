#pragma once

#include "SamplingData.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The check as a plain walk over a line list, step by step: the oracle that
// the streaming check and the loader are held against. Slow and simple on
// purpose; the product streams.

// The lines of a transfer file in file order (line numbers count from 1).
using TLineList = std::vector<std::string>;

// The reading rules one byte at a time, apart from the product's line cutter.
TLineList NaiveLines(std::string_view text);

// The product's line cutter, collected into a list.
void SplitTextIntoLines(std::string_view text, TLineList& lines);
// Reads the file at path into lines; throws EFileOpenError when it cannot be read.
void ReadFileIntoLines(const std::string& path, TLineList& lines);

// The block steps. current is the 1-based number of the next line to examine;
// each step moves it past the lines it examines.
void CheckHeaderLine1(const TLineList& lines, std::int32_t& current, TSamplingData& data);
void CheckHeaderLine2(const TLineList& lines, std::int32_t& current, TSamplingData& data);
void CheckParameterLines(const TLineList& lines, std::int32_t& current, TSamplingData& data);

// Walks all blocks of lines with the three steps: sets LineCount,
// InvestigationCount and ParameterCount, adds the messages, and sets
// MessageText to "OK" when it is still empty. The file name is left alone.
void CheckLines(const TLineList& lines, TSamplingData& data);
