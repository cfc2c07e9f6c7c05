#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

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

// Reads a file in pieces, keeping only the examination being read, and hands
// each examination to onInvestigation; its lines are valid during the call.
// Throws EFileOpenError when the file cannot be read. A stop requested ends
// the walk early.
void StreamInvestigations(const std::string& path, const std::function<void(const TInvestigationText&)>& onInvestigation,
                          std::stop_token stop = {}, std::size_t pieceSize = std::size_t(1) << 20);
