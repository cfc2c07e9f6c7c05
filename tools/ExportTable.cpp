#include "ExportTable.h"

#include "Cp1252.h"
#include "FieldCaptions.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr int FirstParameterField = MasterFieldCount + 1;

// "1" to "53", made once: every examination names its fields.
const std::array<std::string, FirstParameterField + ParameterFieldCount>& FieldKeys()
{
    static const auto keys = [] {
        std::array<std::string, FirstParameterField + ParameterFieldCount> k;
        for (std::size_t i = 1; i < k.size(); ++i)
            k[i] = std::to_string(i);
        return k;
    }();
    return keys;
}

// What a byte asks of a CSV cell: quotes (comma, quote, line break) or
// conversion (not ASCII). Most fields ask for neither and are copied whole.
constexpr std::uint8_t Quote = 1;
constexpr std::uint8_t Convert = 2;

constexpr std::array<std::uint8_t, 256> CsvByteClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    classes[','] = classes['"'] = classes['\r'] = classes['\n'] = Quote;
    for (std::size_t b = 0x80; b < 256; ++b)
        classes[b] = Convert;
    return classes;
}();

std::uint8_t CsvClass(std::string_view s)
{
    std::uint8_t cls = 0;
    for (const char c : s)
        cls |= CsvByteClasses[static_cast<unsigned char>(c)];
    return cls;
}

bool NeedsQuotes(std::string_view s) { return (CsvClass(s) & Quote) != 0; }

void AppendCsvCell(std::string& out, std::string_view cp1252)
{
    const std::uint8_t cls = CsvClass(cp1252);
    if (cls == 0) {
        out.append(cp1252);
        return;
    }
    if (!(cls & Quote)) {
        AppendCp1252AsUtf8(out, cp1252);
        return;
    }
    out += '"';
    std::size_t start = 0;
    for (std::size_t q = cp1252.find('"'); q != std::string_view::npos; q = cp1252.find('"', q + 1)) {
        AppendCp1252AsUtf8(out, cp1252.substr(start, q + 1 - start));
        out += '"';
        start = q + 1;
    }
    AppendCp1252AsUtf8(out, cp1252.substr(start));
    out += '"';
}

void AppendUtf8CsvCell(std::string& out, std::string_view utf8)
{
    if (!NeedsQuotes(utf8)) {
        out += utf8;
        return;
    }
    out += '"';
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::vector<std::string> LeadingHeadings()
{
    return {"Datei", "Untersuchung Nr.", "Zeilen-Nr."};
}

} // namespace

std::vector<std::string> ParameterTableHeadings()
{
    std::vector<std::string> headings = LeadingHeadings();
    for (int field = 1; field < FirstParameterField + ParameterFieldCount; ++field)
        headings.push_back(FieldHeading(field));
    return headings;
}

std::vector<std::string> InvestigationTableHeadings()
{
    std::vector<std::string> headings = LeadingHeadings();
    for (int field = 1; field <= MasterFieldCount; ++field)
        headings.push_back(FieldHeading(field));
    headings.emplace_back("Anzahl Parameter");
    return headings;
}

void AppendCp1252AsUtf8(std::string& out, std::string_view cp1252)
{
    unsigned char high = 0;
    for (const char c : cp1252)
        high |= static_cast<unsigned char>(c);
    if (high < 0x80) {
        out.append(cp1252);
        return;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp1252[i]);
        if (b < 0x80)
            continue;
        out.append(cp1252.substr(start, i - start));
        AppendUtf8(out, Cp1252ToUnicode(b));
        start = i + 1;
    }
    out.append(cp1252.substr(start));
}

void TBufferedTable::Flush()
{
    if (FBuffer.empty())
        return;
    FOutput.Write(FBuffer);
    FBuffer.clear();
}

TCsvTable::TCsvTable(TOutput& output)
    : TBufferedTable(output)
{
    FBuffer.reserve(FlushSize + FlushSize / 4);
    const std::vector<std::string> headings = ParameterTableHeadings();
    for (std::size_t i = 0; i < headings.size(); ++i) {
        if (i > 0)
            FBuffer += ',';
        AppendUtf8CsvCell(FBuffer, headings[i]);
    }
    FBuffer += '\n';
}

void TCsvTable::BeginFile(std::string_view path)
{
    TBufferedTable::BeginFile(path);
    FFileCell.clear();
    AppendUtf8CsvCell(FFileCell, FFileName);
}

void TCsvTable::BeginInvestigation(const TWalkInvestigation& investigation)
{
    FRowStart = FFileCell;
    FRowStart += ',';
    FRowStart += std::to_string(investigation.Number);
    FRowStart += ',';
    FRowStart += std::to_string(investigation.FirstLine);
    for (const std::string_view field : investigation.Master) {
        FRowStart += ',';
        AppendCsvCell(FRowStart, field);
    }
}

namespace {

// The fields as one piece of their line when nothing was trimmed between
// them and none needs quotes or conversion: then the line, with commas for
// the bars, is the CSV.
std::string_view PlainRun(const TParameterFields& fields)
{
    for (std::size_t k = 0; k + 1 < fields.size(); ++k) {
        if (fields[k + 1].data() != fields[k].data() + fields[k].size() + 1)
            return {};
    }
    const std::string_view run(fields.front().data(),
                               static_cast<std::size_t>(fields.back().data() + fields.back().size() - fields.front().data()));
    return CsvClass(run) == 0 ? run : std::string_view();
}

} // namespace

void TCsvTable::Parameter(const TWalkInvestigation&, std::int64_t, const TParameterFields& fields)
{
    FBuffer += FRowStart;
    if (const std::string_view run = PlainRun(fields); !run.empty()) {
        const std::size_t at = FBuffer.size();
        FBuffer += ',';
        FBuffer += run;
        std::replace(FBuffer.begin() + static_cast<std::ptrdiff_t>(at), FBuffer.end(), '|', ',');
        FBuffer += '\n';
        FlushIfFull();
        return;
    }
    for (const std::string_view field : fields) {
        FBuffer += ',';
        AppendCsvCell(FBuffer, field);
    }
    FBuffer += '\n';
    FlushIfFull();
}

void TCsvTable::EndInvestigation(const TWalkInvestigation&, std::int64_t parameterCount)
{
    if (parameterCount > 0)
        return;
    // One row all the same, with empty parameter columns.
    FBuffer += FRowStart;
    FBuffer.append(ParameterFieldCount, ',');
    FBuffer += '\n';
    FlushIfFull();
}

void TJsonLinesTable::FieldMember(int number, std::string_view cp1252)
{
    const std::string& key = FieldKeys()[static_cast<std::size_t>(number)];
    if (!(CsvClass(cp1252) & Convert)) {
        FWriter.Member(key, cp1252); // ASCII is the same in both
        return;
    }
    FUtf8.clear();
    AppendCp1252AsUtf8(FUtf8, cp1252);
    FWriter.Member(key, FUtf8);
}

void TJsonLinesTable::BeginInvestigation(const TWalkInvestigation& investigation)
{
    FWriter.BeginObject();
    FWriter.Key("file");
    FWriter.String(FFileName);
    FWriter.Key("number");
    FWriter.Number(investigation.Number);
    FWriter.Key("firstLine");
    FWriter.Number(investigation.FirstLine);
    FWriter.Key("fields");
    FWriter.BeginObject();
    for (int i = 0; i < MasterFieldCount; ++i)
        FieldMember(i + 1, investigation.Master[static_cast<std::size_t>(i)]);
    FWriter.EndObject();
    FWriter.Key("parameters");
    FWriter.BeginArray();
}

void TJsonLinesTable::Parameter(const TWalkInvestigation&, std::int64_t line, const TParameterFields& fields)
{
    FWriter.BeginObject();
    FWriter.Key("line");
    FWriter.Number(line);
    for (int i = 0; i < ParameterFieldCount; ++i)
        FieldMember(FirstParameterField + i, fields[static_cast<std::size_t>(i)]);
    FWriter.EndObject();
    // An examination may hold any number of parameters: its line is handed on in pieces.
    if (FWriter.Text().size() >= FlushSize) {
        FWriter.MoveTextTo(FBuffer);
        Flush();
    }
}

void TJsonLinesTable::EndInvestigation(const TWalkInvestigation&, std::int64_t)
{
    FWriter.EndArray();
    FWriter.EndObject();
    FWriter.MoveTextTo(FBuffer);
    FWriter.Reset();
    FBuffer += '\n';
    FlushIfFull();
}
