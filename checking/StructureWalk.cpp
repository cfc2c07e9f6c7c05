#include "StructureWalk.h"

#include "CheckMessages.h"

#include <climits>

TStructureWalk::TStructureWalk(TSamplingData& data)
    : FData(data)
{
    // The first block is begun whatever the file holds, even when it is empty.
    ++FData.InvestigationCount;
}

std::int32_t TStructureWalk::LineNumber(std::int64_t line) const
{
    return line > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(line);
}

void TStructureWalk::CheckHeader(const TLineFacts& line, std::uint64_t fieldCount, std::uint8_t countMessage,
                                 std::string_view kind, std::uint8_t kindMessage, std::string_view code,
                                 std::uint8_t codeMessage)
{
    if (line.FieldCount() != fieldCount || !line.EndsWithSeparator()) {
        AddMessage(FData, LineNumber(FLine), countMessage);
        return;
    }
    if (!line.First.Equals(kind))
        AddMessage(FData, LineNumber(FLine), kindMessage);
    if (!line.Second.EqualsUpper(code))
        AddMessage(FData, LineNumber(FLine), codeMessage);
}

void TStructureWalk::CheckParameterOrEnd(const TLineFacts& line, bool isLast)
{
    if (line.FieldCount() >= 1 && line.First.Equals("3")) {
        if (line.FieldCount() != 2)
            AddMessage(FData, LineNumber(FLine), 35);
        else if (line.Count.Value() != FBlockParameters)
            AddMessage(FData, LineNumber(FLine), 36);
        FStep = isLast ? EStep::Done : EStep::BetweenBlocks;
        return;
    }
    if (line.FieldCount() != 11 || !line.EndsWithSeparator()) {
        AddMessage(FData, LineNumber(FLine), 22);
        return;
    }
    if (!line.First.Equals("2"))
        AddMessage(FData, LineNumber(FLine), 25);
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
            CheckHeader(line, 32, 11, "1", 0, "E", 1);
            FStep = EStep::Header2;
            return;
        }
        [[fallthrough]];
    case EStep::Header2:
        if (!isLast) {
            CheckHeader(line, 10, 12, "2", 19, "MATW", 20);
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
        AddMessage(FData, LineNumber(FLine + 1), 37);
    FStep = EStep::Done;
    if (FData.MessageText.empty())
        FData.MessageText = "OK";
}
