#pragma once

#include "BlockGrammar.h"

#include <cstdint>
#include <string_view>

// The guard that a file read after its check still has the structure the check
// found: its lines follow the check's grammar, whatever rules the reader cuts
// by, each with the fields its role must have. It never objects to a file that
// passes the check, so a reader may rely on what the check proved.
class TCheckGuard {
public:
    // What the guard needs of a line, taken while the line is at hand.
    struct TFacts {
        bool IsEnd = false; // by the check's end rule
        bool EndsWithSeparator = false;
        std::uint64_t FieldCount = 0;
    };
    static TFacts FactsOf(std::string_view line, std::uint64_t separators)
    {
        return {IsEndLine(line, BlockRules::Check), !line.empty() && line.back() == FieldSeparator, FieldCountOf(line, separators)};
    }

    // linesBefore: the lines of the file before the first one told; the walk
    // begins there at a header line 1.
    explicit TCheckGuard(std::int64_t linesBefore = 0) : FLine(linesBefore) { }

    // Throws ETransferChanged where the line breaks the checked structure.
    void OnLine(const TFacts& line, bool isLast)
    {
        ++FLine;
        if (!Fits(FGrammar.Next(line.IsEnd, false, isLast), line))
            Changed(FLine);
    }
    // After the last line: throws when an examination was left without its end line.
    void Finish() const;

    [[noreturn]] static void Changed(std::int64_t line);

private:
    static bool Fits(EBlockLine role, const TFacts& line)
    {
        const auto has = [&line](const FieldLayout::TLineLayout& layout, bool endsWithSeparator) {
            return line.FieldCount == static_cast<std::uint64_t>(layout.FieldCount) && (line.EndsWithSeparator || !endsWithSeparator);
        };
        switch (role) {
        case EBlockLine::Parameter:
            return has(FieldLayout::Parameter, true);
        case EBlockLine::Header1:
            return has(FieldLayout::Header1, true);
        case EBlockLine::Header2:
            return has(FieldLayout::Header2, true);
        case EBlockLine::End:
            return has(FieldLayout::End, false);
        case EBlockLine::EndAsHeader2:
        case EBlockLine::Outside:
            break;
        }
        return true;
    }

    TBlockGrammar FGrammar{BlockRules::Check};
    std::int64_t FLine;
};
