#include "StructureWalk.h"

#include <climits>

TStructureWalk::TStructureWalk(TSamplingData& data, TBlockObserver* blocks)
    : FData(data),
      FBlocks(blocks)
{
    // The first block is begun whatever the file holds, even when it is empty.
    ++FData.InvestigationCount;
}

std::int32_t TStructureWalk::LineNumber(std::int64_t line) const
{
    return line > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(line);
}

void TStructureWalk::CheckHeader(const TLineFacts& line, const THeaderRule& rule)
{
    if (line.FieldCount() != static_cast<std::uint64_t>(rule.Layout.FieldCount) || !line.EndsWithSeparator()) {
        AddMessage(FData, LineNumber(FLine), rule.CountMessage);
        return;
    }
    if (!line.First.Equals(rule.Kind))
        AddMessage(FData, LineNumber(FLine), rule.KindMessage);
    if (!line.Second.EqualsUpper(rule.Code))
        AddMessage(FData, LineNumber(FLine), rule.CodeMessage);
}

void TStructureWalk::CheckParameterOrEnd(const TLineFacts& line, bool isLast)
{
    using namespace FieldLayout;
    if (line.FieldCount() >= 1 && line.First.Equals(EndKind)) {
        if (line.FieldCount() != static_cast<std::uint64_t>(End.FieldCount))
            AddMessage(FData, LineNumber(FLine), ECheckMessage::EndLineFieldCountMismatch);
        else if (line.Count.Value() != FBlockParameters)
            AddMessage(FData, LineNumber(FLine), ECheckMessage::ParameterCountMismatch);
        if (FBlocks)
            FBlocks->BlockEnds(FBlockParameters);
        FStep = isLast ? EStep::Done : EStep::BetweenBlocks;
        return;
    }
    if (line.FieldCount() != static_cast<std::uint64_t>(Parameter.FieldCount) || !line.EndsWithSeparator()) {
        AddMessage(FData, LineNumber(FLine), ECheckMessage::ParameterLineFieldCountMismatch);
        return;
    }
    if (!line.First.Equals(ParameterKind))
        AddMessage(FData, LineNumber(FLine), ECheckMessage::Field43MustBeTwo);
    // Both counts stay below the line count; clamp them all the same.
    if (FBlockParameters < INT32_MAX)
        ++FBlockParameters;
    if (FData.ParameterCount < INT32_MAX)
        ++FData.ParameterCount;
}

void TStructureWalk::OnLine(const TLineFacts& line, bool isLast)
{
    ++FLine;
    switch (FStep) {
    case EStep::Done:
        return;
    case EStep::BetweenBlocks:
        // A single line behind a complete block is never examined.
        if (isLast) {
            if (line.Separators > 0 || !line.First.Equals(""))
                FData.UnexaminedLine = LineNumber(FLine);
            FStep = EStep::Done;
            return;
        }
        if (FData.InvestigationCount < INT32_MAX)
            ++FData.InvestigationCount;
        FBlockParameters = 0;
        FStep = EStep::Header1;
        [[fallthrough]];
    case EStep::Header1:
        // A header line that is the file's last line is left to the parameter step.
        if (!isLast) {
            if (FBlocks)
                FBlocks->BlockBegins(FLine, line.Offset);
            CheckHeader(line, Header1Rule);
            FStep = EStep::Header2;
            return;
        }
        [[fallthrough]];
    case EStep::Header2:
        if (!isLast) {
            CheckHeader(line, Header2Rule);
            FStep = EStep::Parameters;
            return;
        }
        [[fallthrough]];
    case EStep::Parameters:
        CheckParameterOrEnd(line, isLast);
        return;
    }
}

void TStructureWalk::Finish()
{
    FData.LineCount = LineNumber(FLine);
    if (FStep == EStep::Header1 || FStep == EStep::Header2 || FStep == EStep::Parameters)
        AddMessage(FData, LineNumber(FLine + 1), ECheckMessage::UnexpectedEndOfRecord);
    FStep = EStep::Done;
    if (FData.MessageText.empty())
        FData.MessageText = "OK";
}
