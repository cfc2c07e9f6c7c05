#include "CsvTable.h"

#include "ByteWord.h"
#include "Cp1252.h"
#include "CsvCell.h"
#include "TableHeadings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

using namespace TableBytes;

namespace {

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
        if (CsvCellNeedsQuotes(cp1252))
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

} // namespace

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
        AppendCsvCell(row, headings[i]);
    }
    row += '\n';
    Append(row);
}

std::unique_ptr<TPartSink> TCsvTable::Continuation(TOutput& output, std::size_t flushSize) const
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
    AppendCsvCell(FFileCell, FFileName);
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
