#include "ExportPlan.h"

#include <algorithm>

TExportPlan::TExportPlan(std::uint64_t spacing, std::size_t maxParts)
    : FSpacing(std::max<std::uint64_t>(spacing, 1)),
      FMaxParts(std::max<std::size_t>(maxParts, 2))
{
}

void TExportPlan::InvestigationBegins(std::int64_t line, std::uint64_t offset)
{
    ++FInvestigations;
    FInInvestigation = true;
    Keep(offset, FInvestigations, line);
}

void TExportPlan::InvestigationEnds(std::int32_t parameters)
{
    if (FInInvestigation)
        FParameterRows += std::max<std::int32_t>(parameters, 1);
    FInInvestigation = false;
}

void TExportPlan::Append(const TExportPlan& rest, std::uint64_t offset, std::int64_t lines)
{
    for (const TStart& start : rest.FStarts)
        Keep(start.Offset + offset, start.Number + FInvestigations, start.Line + lines);
    FInvestigations += rest.FInvestigations;
    FParameterRows += rest.FParameterRows;
}

void TExportPlan::Keep(std::uint64_t offset, std::int64_t number, std::int64_t line)
{
    if (!FStarts.empty() && offset < FNextOffset)
        return;
    FStarts.push_back({offset, number, line});
    FNextOffset = offset + FSpacing;
    if (FStarts.size() <= FMaxParts)
        return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < FStarts.size(); i += 2)
        FStarts[kept++] = FStarts[i];
    FStarts.resize(kept);
    FSpacing *= 2;
    FNextOffset = FStarts.back().Offset + FSpacing;
}

std::vector<TFilePart> TExportPlan::Parts() const
{
    std::vector<TFilePart> parts;
    for (std::size_t i = 0; i < FStarts.size(); ++i) {
        TFilePart part;
        part.Offset = FStarts[i].Offset;
        part.Number = FStarts[i].Number;
        part.FirstLine = FStarts[i].Line;
        if (i + 1 < FStarts.size()) {
            part.Last = false;
            part.End = FStarts[i + 1].Offset;
            part.NextLine = FStarts[i + 1].Line;
        }
        parts.push_back(part);
    }
    return parts;
}
