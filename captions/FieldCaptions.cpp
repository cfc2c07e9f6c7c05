#include "FieldCaptions.h"

namespace {

struct TLayoutCaption {
    int Field;
    std::string_view Block;
    std::string_view Caption;
};

#include "FieldCaptionTable.inc"

// The grid headings are the window's own texts, written when it is created.
constexpr std::array<TGridColumn, ObjectListColumnCount> ObjectListTable{{
    {"Nr.", "", 0},
    {"Proben-ID des Labors", "Feld 3", 3},
    {"Entnahmestelle", "Feld 14", 14},
    {"Probenahme", "Feld 22", 22},
    {"Vers.-Gebiet", "Feld 25", 25},
    {"Zust. GA", "Feld 35", 35},
}};

// Field 50 stands before field 49 in the grid.
constexpr std::array<TGridColumn, SampleColumnCount> SampleTable{{
    {"Nr.", "", 0},
    {"Zeilen-Nr.", "in Datei", 0},
    {"Param.-ID", "Feld 44", 44},
    {"Param.-Text", "Feld 45", 45},
    {"U-Wert", "Feld 48", 48},
    {"Einheit", "Feld 50", 50},
    {"Beurteilung", "Feld 49", 49},
    {"Verfahren", "Feld 51", 51},
    {"U-Stelle", "Feld 52", 52},
    {"Ausnahme", "Feld 53", 53},
}};

using TCaptionTable = std::array<TFieldCaption, LastFieldNumber + 1>;

TCaptionTable BuildCaptions()
{
    TCaptionTable table{};
    for (const TLayoutCaption& c : LayoutCaptions)
        table[static_cast<std::size_t>(c.Field)] = {true, c.Block, c.Caption};
    for (const TGridColumn& column : SampleTable) {
        if (column.Field != 0)
            table[static_cast<std::size_t>(column.Field)] = {true, AnalysisBlockTitle, column.Heading};
    }
    return table;
}

} // namespace

const TFieldCaption& FieldCaption(int field)
{
    static const TCaptionTable Captions = BuildCaptions();
    if (field < FirstFieldNumber || field > LastFieldNumber)
        return Captions[0];
    return Captions[static_cast<std::size_t>(field)];
}

std::string FieldHeading(int field)
{
    const TFieldCaption& c = FieldCaption(field);
    const std::string number = std::to_string(field);
    if (!c.Shown)
        return "Feld " + number;
    std::string heading;
    heading.reserve(c.Block.size() + c.Caption.size() + number.size() + 4);
    heading.append(c.Block).append(" ").append(c.Caption).append(" (").append(number).append(")");
    return heading;
}

const std::array<TGridColumn, ObjectListColumnCount>& ObjectListColumns() { return ObjectListTable; }

const std::array<TGridColumn, SampleColumnCount>& SampleColumns() { return SampleTable; }
