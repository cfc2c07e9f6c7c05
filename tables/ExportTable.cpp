#include "ExportTable.h"

#include "ByteWord.h"
#include "Cp1252.h"
#include "FieldCaptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

constexpr int FirstParameterField = MasterFieldCount + 1;

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

// The bytes of x that do not stand in a CSV cell as they are, flagged; the
// lowest flag is exact.
constexpr std::uint64_t CsvSpecials(std::uint64_t x)
{
    using namespace ByteWord;
    return AnyHigh(x) | AnyEqual(x, ',') | AnyEqual(x, '"') | AnyEqual(x, '\r') | AnyEqual(x, '\n');
}

// Room a cell of n Windows-1252 bytes may take: three bytes of UTF-8 each,
// two quotes, and what the copies of whole words and table entries run over.
constexpr std::size_t CsvCellRoom(std::size_t n) { return 3 * n + 2 + 8; }

// A cell with a comma, quote or line break: in quotes, its quotes doubled.
char* WriteQuotedCsvCell(char* out, std::string_view cp1252)
{
    const std::array<TUtf8Sequence, 256>& utf8 = Cp1252Utf8Table();
    *out++ = '"';
    for (const char c : cp1252) {
        if (c == '"')
            *out++ = '"';
        const TUtf8Sequence& form = utf8[static_cast<unsigned char>(c)];
        std::memcpy(out, &form, sizeof form);
        out += form.Size;
    }
    *out++ = '"';
    return out;
}

// Writes one CSV cell of Windows-1252 bytes as UTF-8; returns its end.
char* WriteCsvCell(char* out, std::string_view cp1252)
{
    const std::array<TUtf8Sequence, 256>& utf8 = Cp1252Utf8Table();
    const char* in = cp1252.data();
    const char* const end = in + cp1252.size();
    if constexpr (!ByteWord::LittleEndian) {
        if (NeedsQuotes(cp1252))
            return WriteQuotedCsvCell(out, cp1252);
        for (; in < end; ++in) {
            const TUtf8Sequence& form = utf8[static_cast<unsigned char>(*in)];
            std::memcpy(out, &form, sizeof form);
            out += form.Size;
        }
        return out;
    }
    // A word at a time: clean bytes are copied with their word, a byte to
    // convert is looked up, and the first that asks for quotes starts the
    // cell again in quotes.
    char* const start = out;
    while (in < end) {
        const auto rest = static_cast<std::size_t>(end - in);
        std::uint64_t word, specials;
        if (rest >= 8) {
            word = ByteWord::Load(in);
            specials = CsvSpecials(word);
        } else {
            word = ByteWord::LoadShort(in, rest);
            specials = CsvSpecials(word) & ByteWord::HighsOf(rest);
        }
        std::memcpy(out, &word, sizeof word);
        if (specials == 0) {
            const std::size_t n = std::min<std::size_t>(rest, 8);
            in += n;
            out += n;
            continue;
        }
        const std::size_t clean = ByteWord::FirstFlagged(specials);
        in += clean;
        out += clean;
        const auto b = static_cast<unsigned char>(*in++);
        if (b < 0x80)
            return WriteQuotedCsvCell(start, cp1252);
        const TUtf8Sequence& form = utf8[b];
        std::memcpy(out, &form, sizeof form);
        out += form.Size;
    }
    return out;
}

char* WriteNumber(char* out, std::int64_t value)
{
    return std::to_chars(out, out + 20, value).ptr;
}

constexpr std::size_t NumberRoom = 20;

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

// The bytes from the first field's start to the last field's end: an upper
// bound of the fields' total length, as all are views into one line.
std::size_t Span(const TParameterFields& fields)
{
    return static_cast<std::size_t>(fields.back().data() + fields.back().size() - fields.front().data());
}

// The examination's first line and, in the parameter table, the parameter's
// own line, named as the window names it.
std::vector<std::string> LeadingHeadings()
{
    return {"Datei", "Untersuchung Nr.", "Erste Zeile der Untersuchung"};
}

constexpr std::string_view ParameterLineHeading = "Zeilen-Nr. in Datei";

} // namespace

std::vector<std::string> ParameterTableHeadings()
{
    std::vector<std::string> headings = LeadingHeadings();
    for (int field = 1; field < FirstParameterField + ParameterFieldCount; ++field) {
        if (field == FirstParameterField)
            headings.emplace_back(ParameterLineHeading);
        headings.push_back(FieldHeading(field));
    }
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
    const std::array<TUtf8Sequence, 256>& utf8 = Cp1252Utf8Table();
    std::size_t start = 0;
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp1252[i]);
        if (b < 0x80)
            continue;
        out.append(cp1252.substr(start, i - start));
        out.append(utf8[b].Bytes, utf8[b].Size);
        start = i + 1;
    }
    out.append(cp1252.substr(start));
}

TBufferedTable::TBufferedTable(TOutput& output, std::size_t flushSize)
    : FOutput(output),
      FFlushSize(flushSize),
      FData(new char[flushSize * 2]),
      FCapacity(flushSize * 2)
{
}

void TBufferedTable::Flush()
{
    if (FSize == 0)
        return;
    FOutput.Write(std::string_view(FData.get(), FSize));
    FSize = 0;
}

void TBufferedTable::MakeRoom(std::size_t n)
{
    Flush();
    if (n <= FCapacity)
        return;
    // One field longer than the buffer: the buffer grows to it.
    FData.reset(new char[n]);
    FCapacity = n;
}

void TBufferedTable::Append(std::string_view bytes)
{
    char* out = Room(bytes.size());
    std::memcpy(out, bytes.data(), bytes.size());
    Commit(out + bytes.size());
}

TCsvTable::TCsvTable(TOutput& output)
    : TBufferedTable(output),
      FHeadingDue(true)
{
}

void TCsvTable::AppendHeading()
{
    std::string row;
    const std::vector<std::string> headings = ParameterTableHeadings();
    for (std::size_t i = 0; i < headings.size(); ++i) {
        if (i > 0)
            row += ',';
        AppendUtf8CsvCell(row, headings[i]);
    }
    row += '\n';
    Append(row);
}

std::unique_ptr<TBufferedTable> TCsvTable::Continuation(TOutput& output, std::size_t flushSize) const
{
    std::unique_ptr<TCsvTable> table(new TCsvTable(output, flushSize));
    table->FFileName = FFileName;
    table->FFileCell = FFileCell;
    return table;
}

void TCsvTable::BeginFile(std::string_view path)
{
    // The heading comes with the first file exported: no file, no table.
    if (std::exchange(FHeadingDue, false))
        AppendHeading();
    TBufferedTable::BeginFile(path);
    FFileCell.clear();
    AppendUtf8CsvCell(FFileCell, FFileName);
}

void TCsvTable::BeginInvestigation(const TWalkInvestigation& investigation)
{
    std::size_t room = FFileCell.size() + 2 * NumberRoom + 2;
    for (const std::string_view field : investigation.Master)
        room += 1 + CsvCellRoom(field.size());
    FRowStart.resize(room);
    char* const begin = FRowStart.data();
    char* out = begin;
    std::memcpy(out, FFileCell.data(), FFileCell.size());
    out += FFileCell.size();
    *out++ = ',';
    out = WriteNumber(out, investigation.Number);
    *out++ = ',';
    out = WriteNumber(out, investigation.FirstLine);
    for (const std::string_view field : investigation.Master) {
        *out++ = ',';
        out = WriteCsvCell(out, field);
    }
    FRowStart.resize(static_cast<std::size_t>(out - begin));
}

void TCsvTable::Parameter(const TWalkInvestigation&, std::int64_t line, const TParameterFields& fields)
{
    char* out = Room(FRowStart.size() + 1 + NumberRoom + CsvCellRoom(Span(fields)) + 2 * ParameterFieldCount + 1);
    std::memcpy(out, FRowStart.data(), FRowStart.size());
    out += FRowStart.size();
    *out++ = ',';
    out = WriteNumber(out, line);
    for (const std::string_view field : fields) {
        *out++ = ',';
        out = WriteCsvCell(out, field);
    }
    *out++ = '\n';
    Commit(out);
    FlushIfFull();
}

void TCsvTable::EndInvestigation(const TWalkInvestigation&, std::int64_t parameterCount)
{
    if (parameterCount > 0)
        return;
    // One row all the same, with empty parameter columns, its line included.
    char* out = Room(FRowStart.size() + ParameterFieldCount + 2);
    std::memcpy(out, FRowStart.data(), FRowStart.size());
    out += FRowStart.size();
    std::memset(out, ',', ParameterFieldCount + 1);
    out += ParameterFieldCount + 1;
    *out++ = '\n';
    Commit(out);
    FlushIfFull();
}

namespace {

// The JSON text before each field's value, ,"7":" and so on, made once and
// padded to one word: it is copied whole.
struct TMemberStart {
    char Bytes[8];
    std::size_t Size;
};

const std::array<TMemberStart, FirstParameterField + ParameterFieldCount> MemberStarts = [] {
    std::array<TMemberStart, FirstParameterField + ParameterFieldCount> starts{};
    for (std::size_t i = 1; i < starts.size(); ++i) {
        const std::string start = ",\"" + std::to_string(i) + "\":\"";
        start.copy(starts[i].Bytes, sizeof starts[i].Bytes);
        starts[i].Size = start.size();
    }
    return starts;
}();

// Writes a member; skip leaves out the comma of the first member.
char* WriteMember(char* out, const TMemberStart& start, std::string_view cp1252, std::size_t skip = 0)
{
    std::memcpy(out, start.Bytes + skip, sizeof start.Bytes - skip);
    out += start.Size - skip;
    out = WriteCp1252JsonText(out, cp1252);
    *out++ = '"';
    return out;
}

// Room for a member: its start, its value and its closing quote.
constexpr std::size_t MemberRoom(std::size_t n) { return 8 + JsonBytesPerCp1252Byte * n + 8 + 1; }

} // namespace

std::unique_ptr<TBufferedTable> TJsonLinesTable::Continuation(TOutput& output, std::size_t flushSize) const
{
    auto table = std::make_unique<TJsonLinesTable>(output, flushSize);
    table->FFileName = FFileName;
    table->FHead = FHead;
    return table;
}

void TJsonLinesTable::BeginFile(std::string_view path)
{
    TBufferedTable::BeginFile(path);
    TJsonWriter head;
    head.BeginObject();
    head.Key("file");
    head.String(FFileName);
    head.Key("number");
    FHead = head.Text();
}

void TJsonLinesTable::BeginInvestigation(const TWalkInvestigation& investigation)
{
    static constexpr std::string_view FirstLineKey = ",\"firstLine\":";
    static constexpr std::string_view FieldsKey = ",\"fields\":{";
    static constexpr std::string_view ParametersKey = "},\"parameters\":[";
    std::size_t room = FHead.size() + 2 * NumberRoom + FirstLineKey.size() + FieldsKey.size() + ParametersKey.size();
    for (const std::string_view field : investigation.Master)
        room += MemberRoom(field.size());
    char* out = Room(room);
    std::memcpy(out, FHead.data(), FHead.size());
    out += FHead.size();
    out = WriteNumber(out, investigation.Number);
    std::memcpy(out, FirstLineKey.data(), FirstLineKey.size());
    out += FirstLineKey.size();
    out = WriteNumber(out, investigation.FirstLine);
    std::memcpy(out, FieldsKey.data(), FieldsKey.size());
    out += FieldsKey.size();
    out = WriteMember(out, MemberStarts[1], investigation.Master[0], 1);
    for (int i = 1; i < MasterFieldCount; ++i)
        out = WriteMember(out, MemberStarts[static_cast<std::size_t>(i + 1)], investigation.Master[static_cast<std::size_t>(i)]);
    std::memcpy(out, ParametersKey.data(), ParametersKey.size());
    out += ParametersKey.size();
    Commit(out);
    FFirstParameter = true;
}

void TJsonLinesTable::Parameter(const TWalkInvestigation&, std::int64_t line, const TParameterFields& fields)
{
    static constexpr std::string_view LineKey = "{\"line\":";
    char* out = Room(1 + LineKey.size() + NumberRoom + ParameterFieldCount * MemberRoom(0) +
                     JsonBytesPerCp1252Byte * Span(fields) + 1);
    if (!FFirstParameter)
        *out++ = ',';
    FFirstParameter = false;
    std::memcpy(out, LineKey.data(), LineKey.size());
    out += LineKey.size();
    out = WriteNumber(out, line);
    for (int i = 0; i < ParameterFieldCount; ++i)
        out = WriteMember(out, MemberStarts[static_cast<std::size_t>(FirstParameterField + i)], fields[static_cast<std::size_t>(i)]);
    *out++ = '}';
    Commit(out);
    // An examination may hold any number of parameters: its line is handed on in pieces.
    FlushIfFull();
}

void TJsonLinesTable::EndInvestigation(const TWalkInvestigation&, std::int64_t)
{
    Append("]}\n");
    FlushIfFull();
}
