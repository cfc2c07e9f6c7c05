#pragma once

#include "SamplingData.h"

#include <cstdint>
#include <string_view>

constexpr int CheckMessageCount = 45;

// The 45 German check messages as Windows-1252 bytes. Some hold one "$" that
// AddMessageWithValue fills.
extern const char* const CheckMessages[CheckMessageCount];

// Appends the message line for index (prefixed "       Zeile %3d: " unless
// line is 0) and CR LF to MessageText and counts it.
void AddMessage(TSamplingData& data, std::int32_t line, std::uint8_t index);

// As AddMessage, with the first "$" of the line replaced by value; a value for
// a text without "$" is dropped.
void AddMessageWithValue(TSamplingData& data, std::int32_t line, std::uint8_t index, std::string_view value);
