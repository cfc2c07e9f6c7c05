#pragma once

#include "Comparison.h"
#include "ScratchRows.h"
#include "StyledWorkbook.h"

#include <cstdint>
#include <string>
#include <vector>

// The comparison as a workbook a clerk files away. The sheet "Unterschiede"
// names both files, the key and the summary above one row per difference,
// with a legend below; the sheet "Untersuchungen" has each examination that
// differs, the old row above the new one. Changed cells are filled yellow,
// added rows green, removed rows red. A sink of a comparison made with
// TCompareOptions::KeepFields: its rows wait in nameless files beside the
// target as they come, and the workbook is written in Commit. Throws
// EOutputError.
class TDifferenceWorkbook : public TDifferenceSink {
public:
    // rowLimit: the rows a sheet holds; a comparison that needs more is
    // refused in Commit, before anything is written.
    explicit TDifferenceWorkbook(const std::string& target, std::uint64_t rowLimit = TXlsxTable::MaxRows);

    void Difference(const TDifference& d) override;
    void Investigation(const TInvestigationFields& inv) override;

    // Writes the workbook of comparison, heard here, of the files at oldPath
    // and newPath compared by keyFields (empty: the default key).
    void Commit(const TComparison& comparison, const std::string& oldPath, const std::string& newPath,
                const std::vector<int>& keyFields);

private:
    std::string FTarget;
    std::uint64_t FRowLimit;
    TScratchRows FDifferences, FInvestigations;
    // The rows heard, kept or not: past the limit they are only counted.
    std::uint64_t FDifferenceRows = 0, FInvestigationRows = 0;
    TStyledWorkbook::TRow FRow;
};
