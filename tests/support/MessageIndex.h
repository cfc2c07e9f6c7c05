#pragma once

#include "CheckMessages.h"

#include <cstdint>
#include <string_view>

// The check's messages by their table index as a bare number, as the message
// table numbers them, for tests that go through the table by number.
inline void AddMessage(TSamplingData& data, std::int32_t line, std::uint8_t index)
{
    AddMessage(data, line, static_cast<ECheckMessage>(index));
}
inline void AddMessageWithValue(TSamplingData& data, std::int32_t line, std::uint8_t index, std::string_view value)
{
    AddMessageWithValue(data, line, static_cast<ECheckMessage>(index), value);
}
