#pragma once

#include "InvestigationWalk.h"
#include "StructureWalk.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the check saw examinations begin, kept at about every spacing bytes:
// the parts the export formats side by side. The list never holds more than
// maxParts starts; when it would, every second start goes and the spacing
// doubles, so a file of any size plans in the same small memory.
class TExportPlan : public TInvestigationObserver {
public:
    static constexpr std::uint64_t DefaultSpacing = 128 << 10;
    static constexpr std::size_t DefaultMaxParts = 4096;

    explicit TExportPlan(std::uint64_t spacing = DefaultSpacing, std::size_t maxParts = DefaultMaxParts);

    void InvestigationBegins(std::int64_t line, std::uint64_t offset) override;
    void InvestigationEnds(std::int32_t parameters) override;

    // Adds the plan of the rest of the file, made by a check of its own that
    // began offset bytes into the file, behind lines lines.
    void Append(const TExportPlan& rest, std::uint64_t offset, std::int64_t lines);

    // An empty plan kept as this one is kept.
    TExportPlan Fresh() const { return TExportPlan(FSpacing, FMaxParts); }

    // The parts, in file order; none for a file without examinations.
    std::vector<TFilePart> Parts() const;

    // The rows the file gives in a table of examinations and in one of
    // parameters (an examination without parameters gives one row there too).
    std::int64_t Investigations() const { return FInvestigations; }
    std::int64_t ParameterRows() const { return FParameterRows; }

private:
    void Keep(std::uint64_t offset, std::int64_t number, std::int64_t line);

    struct TStart {
        std::uint64_t Offset;
        std::int64_t Number;
        std::int64_t Line;
    };

    std::uint64_t FSpacing;
    std::size_t FMaxParts;
    std::int64_t FInvestigations = 0;
    std::int64_t FParameterRows = 0;
    bool FInInvestigation = false; // an end line counts only for a block that began
    std::uint64_t FNextOffset = 0;
    std::vector<TStart> FStarts;
};
