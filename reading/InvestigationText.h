#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// One examination's lines as text: header line 1, header line 2 and the
// parameter lines, consecutive lines of the file from FirstLine on.
struct TInvestigationText {
    std::int64_t FirstLine = 0;
    std::span<const std::string_view> Lines;
    std::uint64_t Offset = 0; // of header line 1 in the file

    std::int64_t LineOf(std::size_t k) const { return FirstLine + static_cast<std::int64_t>(k); }
    // From the first byte of header line 1 to the last of the last line: two
    // examinations whose bytes are the same hold the same fields.
    std::string_view Bytes() const
    {
        if (Lines.empty())
            return {};
        return {Lines.front().data(), static_cast<std::size_t>(Lines.back().data() + Lines.back().size() - Lines.front().data())};
    }
};
