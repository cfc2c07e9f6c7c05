#include "DifferenceWorkbook.h"

#include "Cp1252.h"
#include "DifferenceReport.h"
#include "FieldCaptions.h"
#include "FieldLayout.h"
#include "XlsxTable.h"

#include <cstddef>

namespace {

using EFill = TStyledWorkbook::EFill;

std::string LineNumber(std::int64_t line) { return line == 0 ? std::string() : std::to_string(line); }

EFill RowFill(EDifference kind)
{
    switch (kind) {
    case EDifference::InvestigationAdded:
    case EDifference::ParameterAdded:
        return EFill::Added;
    case EDifference::InvestigationRemoved:
    case EDifference::ParameterRemoved:
        return EFill::Removed;
    case EDifference::FieldChanged:
        break;
    }
    return EFill::None;
}

TStyledWorkbook::TSheet Differences(const TComparison& comparison)
{
    TStyledWorkbook::TSheet sheet{"Unterschiede",
                                  {"Art", "Schlüssel", "Zeile alt", "Zeile neu", "Feld", "Name", "Alt", "Neu", "Param.-ID", "Param.-Text"},
                                  {}};
    for (const TDifference& d : comparison.Differences) {
        const bool changed = d.Kind == EDifference::FieldChanged;
        const EFill fill = RowFill(d.Kind);
        const EFill values = changed ? EFill::Changed : fill;
        sheet.Rows.push_back({{std::string(KindText(d.Kind)), fill},
                              {KeyText(d.Key), fill},
                              {LineNumber(d.OldLine), fill},
                              {LineNumber(d.NewLine), fill},
                              {changed ? std::to_string(d.Field) : std::string(), fill},
                              {changed ? FieldName(d.Field) : std::string(), fill},
                              {Cp1252ToUtf8(d.Old), values},
                              {Cp1252ToUtf8(d.New), values},
                              {Cp1252ToUtf8(d.ParameterId), fill},
                              {Cp1252ToUtf8(d.ParameterText), fill}});
    }
    // The legend, below the table.
    sheet.Rows.push_back({});
    sheet.Rows.push_back({{"Legende:", EFill::None}});
    sheet.Rows.push_back({{"geänderter Wert", EFill::Changed}});
    sheet.Rows.push_back({{"neu (Untersuchung oder Parameter)", EFill::Added}});
    sheet.Rows.push_back({{"entfallen (Untersuchung oder Parameter)", EFill::Removed}});
    return sheet;
}

TStyledWorkbook::TSheet Investigations(const TComparison& comparison)
{
    TStyledWorkbook::TSheet sheet{"Untersuchungen", {"Datei", "Zeile", "Schlüssel"}, {}};
    for (int field = 1; field <= FieldLayout::HeaderEntries; ++field)
        sheet.Headings.push_back(FieldHeading(field));
    for (const TInvestigationFields& inv : comparison.Investigations) {
        const bool both = !inv.Old.empty() && !inv.New.empty();
        const auto row = [&](const char* side, std::int64_t line, const std::vector<std::string>& fields, EFill fill) {
            TStyledWorkbook::TRow& cells = sheet.Rows.emplace_back();
            cells.push_back({side, fill});
            cells.push_back({std::to_string(line), fill});
            cells.push_back({KeyText(inv.Key), fill});
            for (std::size_t i = 0; i < fields.size(); ++i)
                cells.push_back({Cp1252ToUtf8(fields[i]), both && inv.Old[i] != inv.New[i] ? EFill::Changed : fill});
        };
        if (!inv.Old.empty())
            row("alt", inv.OldLine, inv.Old, both ? EFill::None : EFill::Removed);
        if (!inv.New.empty())
            row("neu", inv.NewLine, inv.New, both ? EFill::None : EFill::Added);
    }
    return sheet;
}

} // namespace

void WriteDifferenceWorkbook(const std::string& target, const TComparison& comparison)
{
    TStyledWorkbook::Write(target, Differences(comparison), Investigations(comparison));
}
