#pragma once

#include "LineFacts.h"
#include "SamplingData.h"

#include <cstdint>

// The block walk of the structure check, fed one line at a time. The steps
// ask "is this the last line?" and "do two lines remain?"; the caller answers
// the first with isLast, and the second follows from the next line's isLast,
// so the walk never needs the line count in advance.
class TStructureWalk {
public:
    explicit TStructureWalk(TSamplingData& data);

    void OnLine(const TLineFacts& line, bool isLast);

    // Ends the walk: sets LineCount, reports a block left open, and sets
    // MessageText to "OK" when nothing was found.
    void Finish();

private:
    enum class EStep { Header1, Header2, Parameters, BetweenBlocks, Done };

    void CheckHeader(const TLineFacts& line, std::uint64_t fieldCount, std::uint8_t countMessage,
                     std::string_view kind, std::uint8_t kindMessage, std::string_view code,
                     std::uint8_t codeMessage);
    void CheckParameterOrEnd(const TLineFacts& line, bool isLast);
    std::int32_t LineNumber(std::int64_t line) const;

    TSamplingData& FData;
    EStep FStep = EStep::Header1;
    // Counted wide so that a file of more than 2^31 lines cannot overflow it;
    // the record's 32-bit fields get the count clamped.
    std::int64_t FLine = 0;
    std::int32_t FBlockParameters = 0;
};
