#include "InvestigationCells.h"

#include <array>

#include "DisplayText.h"
#include "FieldCaptions.h"
#include "FieldLayout.h"

namespace {

template <std::size_t N>
QString Header(const std::array<TGridColumn, N>& columns, int col, int row)
{
    if (col < 0 || col >= static_cast<int>(N) || row < 0 || row > 1)
        return QString();
    const TGridColumn& column = columns[static_cast<std::size_t>(col)];
    const std::string_view text = row == 0 ? column.Heading : column.Second;
    return Utf8ToQString(text);
}

// Field N is entry N - 1 of an examination's field list.
int EntryOf(const TGridColumn& column) { return FieldLayout::Entry(column.Field); }

} // namespace

QString TInvestigationCells::ObjectListHeader(int col, int row) { return Header(ObjectListColumns(), col, row); }

QString TInvestigationCells::SampleHeader(int col, int row) { return Header(SampleColumns(), col, row); }

QString TInvestigationCells::ObjectListCell(const TInvestigationList& list, int col, int row)
{
    const int index = row - HeaderRows;
    if (index < 0 || index >= list.Count() || col < 0 || col >= ObjectListCols)
        return QString();
    if (col == 0)
        return QString::number(index + 1);
    return Cp1252ToQString(list.Field(index, EntryOf(ObjectListColumns()[static_cast<std::size_t>(col)])));
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
    const int entry = EntryOf(SampleColumns()[static_cast<std::size_t>(col)]) + FieldLayout::ParameterEntries * k;
    return Cp1252ToQString(list.Field(investigation, entry));
}
