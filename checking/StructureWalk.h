#pragma once

#include "BlockGrammar.h"
#include "CheckMessages.h"
#include "FieldLayout.h"
#include "LineFacts.h"
#include "SamplingData.h"

#include <climits>
#include <cstdint>
#include <string_view>

// What a header line must hold, and the message for each way it fails.
struct THeaderRule {
    FieldLayout::TLineLayout Layout;
    ECheckMessage CountMessage; // not the right number of fields, or no final "|"
    std::string_view Kind; // field 1 of the line, exactly
    ECheckMessage KindMessage;
    std::string_view Code; // field 2 of the line, after upper-casing a to z
    ECheckMessage CodeMessage;
};

constexpr THeaderRule Header1Rule{FieldLayout::Header1, ECheckMessage::Header1FieldCountMismatch,
                                  FieldLayout::Header1Kind, ECheckMessage::Field1MustBeOne,
                                  FieldLayout::FinalResult, ECheckMessage::Field2MustBeFinalResult};
constexpr THeaderRule Header2Rule{FieldLayout::Header2, ECheckMessage::Header2FieldCountMismatch,
                                  FieldLayout::Header2Kind, ECheckMessage::Field33MustBeTwo,
                                  FieldLayout::Material, ECheckMessage::Field34MustBeMatw};

// Told where each examination begins, for a caller that goes through the
// file again by examination (the export cuts its work there).
class TInvestigationObserver {
public:
    virtual ~TInvestigationObserver() = default;
    // The examination whose header line 1 is line (from 1) starts offset
    // bytes into the file.
    virtual void InvestigationBegins(std::int64_t line, std::uint64_t offset) = 0;
    // The end line of the current block came, behind parameters parameter lines.
    virtual void InvestigationEnds(std::int32_t /*parameters*/) { }
};

// The structure check of each line, fed one line at a time through the block
// walk, which says what the line is. The caller tells whether a line is the
// last (it reads one line ahead), so the line count is never needed in advance.
class TStructureWalk {
public:
    explicit TStructureWalk(TSamplingData& data, TInvestigationObserver* observer = nullptr);

    void OnLine(const TLineFacts& line, bool isLast) { FWalk.OnLine(line, isLast); }

    // Ends the walk: sets LineCount, reports a block left open, and sets
    // MessageText to "OK" when nothing was found.
    void Finish();

    // The lines walked so far; whether the last was an end line that another
    // line follows, so that the next begins a new block.
    std::int64_t Lines() const { return FWalk.Lines(); }
    bool BetweenBlocks() const { return FWalk.Grammar().BetweenBlocks(); }
    // The next line can only be a parameter line or the end line, so its
    // second field is read only if it is the end line.
    bool InParameters() const { return FWalk.Grammar().InParameters(); }

    // What the block walk calls; parameter lines, most lines, inline.
    void BlockLine(EBlockLine role, const TLineFacts& line, std::int64_t number)
    {
        if (role == EBlockLine::Parameter)
            CheckParameter(line, Clamped(number));
        else
            OtherLine(role, line, number);
    }

private:
    static std::int32_t Clamped(std::int64_t line) { return line > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(line); }
    void OtherLine(EBlockLine role, const TLineFacts& line, std::int64_t number);
    void CheckHeader(const TLineFacts& line, std::int32_t number, const THeaderRule& rule);
    void CheckParameter(const TLineFacts& line, std::int32_t number)
    {
        if (line.FieldCount() != static_cast<std::uint64_t>(FieldLayout::Parameter.FieldCount) || !line.EndsWithSeparator()) {
            AddMessage(FData, number, ECheckMessage::ParameterLineFieldCountMismatch);
            return;
        }
        if (!line.First.Equals(FieldLayout::ParameterKind))
            AddMessage(FData, number, ECheckMessage::Field43MustBeTwo);
        // Both counts stay below the line count; clamp them all the same.
        if (FInvestigationParameters < INT32_MAX)
            ++FInvestigationParameters;
        if (FData.ParameterCount < INT32_MAX)
            ++FData.ParameterCount;
    }
    void CheckEnd(const TLineFacts& line, std::int32_t number);

    TSamplingData& FData;
    TInvestigationObserver* FObserver;
    // Lines are counted wide so that a file of more than 2^31 lines cannot
    // overflow the count; the record's 32-bit fields get it clamped.
    TBlockWalk<TStructureWalk> FWalk;
    bool FFirstInvestigation = true;
    std::int32_t FInvestigationParameters = 0;
};
