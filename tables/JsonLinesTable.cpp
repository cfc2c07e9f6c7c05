#include "JsonLinesTable.h"

#include "JsonWriter.h"

#include <array>
#include <cstring>
#include <string>

using namespace TableBytes;

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

std::unique_ptr<TPartSink> TJsonLinesTable::Continuation(TOutput& output, std::size_t flushSize) const
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
