#include "InvestigationCells.h"

#include <array>

#include "DisplayText.h"
#include "FieldLayout.h"

namespace {

struct TColumn {
    const char* Heading;
    const char* Field;
    int Entry; // list entry shown (of the first parameter line in the analysis grid)
};

const std::array<TColumn, TInvestigationCells::ObjectListCols> ObjectListColumns{{
    {"Nr.", "", -1},
    {"Proben-ID des Labors", "Feld 3", 2},
    {"Entnahmestelle", "Feld 14", 13},
    {"Probenahme", "Feld 22", 21},
    {"Vers.-Gebiet", "Feld 25", 24},
    {"Zust. GA", "Feld 35", 34},
}};

// Columns 5 and 6 show field 50 before field 49.
const std::array<TColumn, TInvestigationCells::SampleCols> SampleColumns{{
    {"Nr.", "", -1},
    {"Zeilen-Nr.", "in Datei", -1},
    {"Param.-ID", "Feld 44", 43},
    {"Param.-Text", "Feld 45", 44},
    {"U-Wert", "Feld 48", 47},
    {"Einheit", "Feld 50", 49},
    {"Beurteilung", "Feld 49", 48},
    {"Verfahren", "Feld 51", 50},
    {"U-Stelle", "Feld 52", 51},
    {"Ausnahme", "Feld 53", 52},
}};

template <std::size_t N>
QString Header(const std::array<TColumn, N>& columns, int col, int row)
{
    if (col < 0 || col >= static_cast<int>(N) || row < 0 || row > 1)
        return QString();
    const TColumn& column = columns[static_cast<std::size_t>(col)];
    return QString::fromUtf8(row == 0 ? column.Heading : column.Field);
}

} // namespace

QString TInvestigationCells::ObjectListHeader(int col, int row) { return Header(ObjectListColumns, col, row); }

QString TInvestigationCells::SampleHeader(int col, int row) { return Header(SampleColumns, col, row); }

QString TInvestigationCells::ObjectListCell(const TInvestigationList& list, int col, int row)
{
    const int index = row - HeaderRows;
    if (index < 0 || index >= list.Count() || col < 0 || col >= ObjectListCols)
        return QString();
    if (col == 0)
        return QString::number(index + 1);
    return Cp1252ToQString(list.Field(index, ObjectListColumns[static_cast<std::size_t>(col)].Entry));
}

QString TInvestigationCells::SampleCell(const TInvestigationList& list, int investigation, int col, int row)
{
    const int k = row - HeaderRows;
    if (k < 0 || k >= list.ParameterCount(investigation) || col < 0 || col >= SampleCols)
        return QString();
    if (col == 0)
        return QString::number(k + 1);
    // The line number assumes no empty line inside the block: it is computed, not counted.
    if (col == 1)
        return QString::number(list.FirstLineIndex(investigation) + 1 + FieldLayout::HeaderLines + k);
    const int entry = SampleColumns[static_cast<std::size_t>(col)].Entry + FieldLayout::ParameterEntries * k;
    return Cp1252ToQString(list.Field(investigation, entry));
}
