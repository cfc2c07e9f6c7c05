#include "DifferenceReport.h"

#include "Cp1252.h"
#include "CsvCell.h"
#include "FieldCaptions.h"
#include "JsonWriter.h"

#include <array>

namespace {

struct TKindNames {
    std::string_view Text;
    std::string_view Id;
};

constexpr std::array<TKindNames, 5> KindNames{{
    {"Untersuchung neu", "examinationAdded"},
    {"Untersuchung entfallen", "examinationRemoved"},
    {"Feld geändert", "fieldChanged"},
    {"Parameter neu", "parameterAdded"},
    {"Parameter entfallen", "parameterRemoved"},
}};

std::string Quoted(std::string_view cp1252) { return "„" + Cp1252ToUtf8(cp1252) + "“"; }

// "1 Untersuchung neu" / "2 Untersuchungen neu"
std::string Count(std::int64_t n, std::string_view singular, std::string_view plural)
{
    return std::to_string(n) + " " + std::string(n == 1 ? singular : plural);
}

std::string ParameterText(const TDifference& d)
{
    return "Parameter " + Cp1252ToUtf8(d.ParameterId) + " " + Quoted(d.ParameterText);
}

bool SameInvestigation(const TDifference& a, const TDifference& b)
{
    return a.Key == b.Key && a.OldInvestigationLine == b.OldInvestigationLine && a.NewInvestigationLine == b.NewInvestigationLine;
}

} // namespace

std::string_view KindText(EDifference kind) { return KindNames[static_cast<std::size_t>(kind)].Text; }
std::string_view KindId(EDifference kind) { return KindNames[static_cast<std::size_t>(kind)].Id; }

std::string KeyText(const TInvestigationKey& key)
{
    std::string text;
    for (const TKeyField& field : key) {
        if (!text.empty())
            text += ", ";
        text += std::to_string(field.Field) + "=" + Quoted(field.Value);
    }
    return text;
}

std::string KeyWithOldText(const TDifference& d)
{
    return d.OldKey.empty() ? KeyText(d.Key) : KeyText(d.Key) + " (vorher " + KeyText(d.OldKey) + ")";
}

std::string FieldName(int field) { return FieldHeading(field); }

std::string SummaryText(const TComparison& c)
{
    return Count(c.Added, "Untersuchung", "Untersuchungen") + " neu, " + std::to_string(c.Removed) + " entfallen, " +
           std::to_string(c.Changed) + " geändert, " + std::to_string(c.Same) + " gleich";
}

std::string RepeatedKeyNote(const TComparison& c)
{
    if (!c.RepeatedKey)
        return {};
    return "Hinweis: Schlüssel wie " + KeyText(*c.RepeatedKey) +
           " kommen in einer Datei mehrfach vor; Untersuchungen mit gleichem Schlüssel sind einander nach den wenigsten "
           "Unterschieden zugeordnet.";
}

std::string BoundedKeyNote(const TComparison& c)
{
    if (!c.BoundedKey)
        return {};
    return "Hinweis: Mehr als " + std::to_string(PairingBound) +
           " ungleiche Untersuchungen eines Schlüssels oder Parameter einer Param.-ID, zuerst bei " + KeyText(*c.BoundedKey) +
           ", sind in der Reihenfolge ihres Auftretens zugeordnet, nicht nach den wenigsten Unterschieden.";
}

std::string LinesText(const TDifference& d)
{
    std::string text;
    if (d.OldLine != 0)
        text = "Zeile " + std::to_string(d.OldLine) + " alt";
    if (d.NewLine != 0)
        text += (text.empty() ? "" : ", ") + std::string("Zeile ") + std::to_string(d.NewLine) + " neu";
    return text;
}

std::string ChangeText(const TDifference& d)
{
    switch (d.Kind) {
    case EDifference::InvestigationAdded:
    case EDifference::InvestigationRemoved:
        return std::string(KindText(d.Kind));
    case EDifference::ParameterAdded:
        return ParameterText(d) + " neu";
    case EDifference::ParameterRemoved:
        return ParameterText(d) + " entfallen";
    case EDifference::FieldChanged:
        break;
    }
    return (d.IsParameter ? ParameterText(d) + ", " : std::string()) + FieldName(d.Field) + ": " + Quoted(d.Old) + " → " +
           Quoted(d.New);
}

std::string ComparisonHeadText(const TComparison& c)
{
    std::string text = SummaryText(c) + "\n";
    for (const std::string& note : {RepeatedKeyNote(c), BoundedKeyNote(c)})
        if (!note.empty())
            text += note + "\n";
    return text;
}

std::string DifferenceText(const TDifference& d, const TDifference* previous)
{
    const std::string key = "Untersuchung " + KeyWithOldText(d);
    if (d.Kind == EDifference::InvestigationAdded || d.Kind == EDifference::InvestigationRemoved)
        return key + (d.Kind == EDifference::InvestigationAdded ? " neu" : " entfallen") + " (" + LinesText(d) + ")\n";
    std::string text;
    if (previous == nullptr || previous->Kind == EDifference::InvestigationAdded || previous->Kind == EDifference::InvestigationRemoved ||
        !SameInvestigation(*previous, d))
        text = key + " geändert (Zeile " + std::to_string(d.OldInvestigationLine) + " alt, Zeile " +
               std::to_string(d.NewInvestigationLine) + " neu)\n";
    return text + "  " + ChangeText(d) + " (" + LinesText(d) + ")\n";
}

std::string ComparisonText(const TComparison& c)
{
    std::string text = ComparisonHeadText(c);
    const TDifference* previous = nullptr;
    for (const TDifference& d : c.Differences) {
        text += DifferenceText(d, previous);
        previous = &d;
    }
    return text;
}

std::string DifferenceJsonLine(const TDifference& d)
{
    TJsonWriter json;
    json.BeginObject();
    json.Member("kind", KindId(d.Kind));
    json.Key("key");
    json.BeginObject();
    for (const TKeyField& field : d.Key)
        json.Member(std::to_string(field.Field), Cp1252ToUtf8(field.Value));
    json.EndObject();
    if (!d.OldKey.empty()) {
        json.Key("oldKey");
        json.BeginObject();
        for (const TKeyField& field : d.OldKey)
            json.Member(std::to_string(field.Field), Cp1252ToUtf8(field.Value));
        json.EndObject();
    }
    for (const auto& [name, line] : {std::pair{"oldLine", d.OldLine}, std::pair{"newLine", d.NewLine}}) {
        json.Key(name);
        if (line == 0)
            json.Null();
        else
            json.Number(line);
    }
    if (d.Kind == EDifference::FieldChanged) {
        json.Key("field");
        json.Number(d.Field);
        json.Member("name", FieldName(d.Field));
        json.Member("old", Cp1252ToUtf8(d.Old));
        json.Member("new", Cp1252ToUtf8(d.New));
    }
    if (d.IsParameter) {
        json.Member("parameterId", Cp1252ToUtf8(d.ParameterId));
        json.Member("parameterText", Cp1252ToUtf8(d.ParameterText));
    }
    json.EndObject();
    return json.Text();
}

std::string NumberCellText(std::int64_t number) { return number == 0 ? std::string() : std::to_string(number); }

std::string DifferenceCsvHeading()
{
    std::string heading;
    for (std::size_t i = 0; i < DifferenceHeadings.size(); ++i) {
        if (i == OldKeyColumn)
            continue;
        if (!heading.empty())
            heading += ',';
        heading += DifferenceHeadings[i];
    }
    return heading + '\n';
}

std::string DifferenceCsvRow(const TDifference& d)
{
    const bool changed = d.Kind == EDifference::FieldChanged;
    // For people and spreadsheets: the kind in words, as the workbook names it.
    const std::array<std::string, 10> cells{
        std::string(KindText(d.Kind)),
        KeyWithOldText(d),
        NumberCellText(d.OldLine),
        NumberCellText(d.NewLine),
        NumberCellText(changed ? d.Field : 0),
        changed ? FieldName(d.Field) : std::string(),
        Cp1252ToUtf8(d.Old),
        Cp1252ToUtf8(d.New),
        Cp1252ToUtf8(d.ParameterId),
        Cp1252ToUtf8(d.ParameterText),
    };
    std::string row;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            row += ',';
        AppendCsvCell(row, cells[i]);
    }
    return row + '\n';
}
