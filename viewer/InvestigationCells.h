#pragma once

#include <QString>

#include <cstdint>

#include "FieldCaptions.h"
#include "InvestigationList.h"

// The cells of the examination list and of the analysis grid: their header
// rows, and the rows below them cut out of the loaded examinations only when
// a grid draws them. Both grids have two header rows.
class TInvestigationCells {
public:
    static constexpr int HeaderRows = 2;
    static constexpr int ObjectListCols = ObjectListColumnCount;
    static constexpr int SampleCols = SampleColumnCount;

    // Header rows (row 0 and 1) of the examination list and the analysis grid.
    static QString ObjectListHeader(int col, int row);
    static QString SampleHeader(int col, int row);

    // Grid row HeaderRows + i shows examination i; empty outside the list.
    static QString ObjectListCell(const TInvestigationList& list, int col, int row);
    // Grid row HeaderRows + k shows parameter k of the examination; empty
    // outside its parameters.
    static QString SampleCell(const TInvestigationList& list, int investigation, int col, int row);

    // Cells produced from examinations since the start of the program; shows
    // that a grid asks for the cells it draws and for no others.
    static std::uint64_t ProducedCount() { return FProduced; }

private:
    static inline std::uint64_t FProduced = 0;
};
