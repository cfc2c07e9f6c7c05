#include "CodeList.h"

#include "CodeListError.h"
#include "ContentRules.h"
#include "Cp1252.h"
#include "Fields.h"
#include "FileAccess.h"
#include "FileOpenError.h"
#include "Utf8Text.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

// UTF-8 when the bytes are valid UTF-8 and hold a character beyond ASCII;
// Windows-1252 text is hardly ever valid UTF-8 once it has an umlaut.
bool LooksLikeUtf8(std::string_view bytes)
{
    bool beyondAscii = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t n = Utf8SequenceLength(bytes, pos);
        if (n == 0)
            return false;
        beyondAscii |= n > 1;
        pos += n;
    }
    return beyondAscii;
}

// The first columns of a line, and how many it has; no list needs more than three.
struct TColumns {
    std::array<std::string_view, 3> Text;
    std::size_t Count = 0;
};

TColumns Columns(std::string_view line)
{
    TColumns columns;
    ForEachField(line, [&columns](std::string_view field) {
        if (columns.Count < columns.Text.size())
            columns.Text[columns.Count] = field;
        ++columns.Count;
    });
    return columns;
}

std::string Normalized(std::string_view value, bool foldCase)
{
    if (!ContentRules::NeedsNormalizing(value, foldCase))
        return std::string(value);
    std::string out;
    ContentRules::Normalize(value, foldCase, out);
    return out;
}

} // namespace

std::string_view TCodeList::Key(std::string_view value, bool foldCase)
{
    if (!ContentRules::NeedsNormalizing(value, foldCase))
        return value;
    thread_local std::string scratch;
    ContentRules::Normalize(value, foldCase, scratch);
    return scratch;
}

TCodeList TCodeList::Read(const std::string& path, ECodeListKind kind)
{
    std::string bytes;
    try {
        TReadOnlyFile file(path);
        if (file.Size() > MaxFileSize)
            throw ECodeListError(path, 0, "die Datei ist gr\xC3\xB6\xC3\x9F"
                                          "er als 64 MB");
        bytes.resize(static_cast<std::size_t>(file.Size()));
        std::size_t got = 0;
        // A file that grows while it is read is read up to the limit and then refused.
        char more[4096];
        while (got < bytes.size()) {
            const std::size_t n = file.Read(bytes.data() + got, bytes.size() - got);
            if (n == 0)
                break;
            got += n;
        }
        bytes.resize(got);
        while (const std::size_t n = file.Read(more, sizeof more)) {
            bytes.append(more, n);
            if (bytes.size() > MaxFileSize)
                throw ECodeListError(path, 0, "die Datei ist gr\xC3\xB6\xC3\x9F"
                                              "er als 64 MB");
        }
    } catch (const EFileOpenError& e) {
        throw ECodeListError(path, 0, "die Datei kann nicht gelesen werden", e.Why());
    }
    return Parse(bytes, path, kind);
}

TCodeList TCodeList::Parse(std::string_view bytes, const std::string& path, ECodeListKind kind)
{
    TCodeList list;
    list.FKind = kind;
    // One entry a line at most: the table never grows while it fills.
    list.FKeys.Reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    const bool utf8 = LooksLikeUtf8(bytes);
    if (utf8 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::string converted;
    std::int64_t number = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        ++number;
        std::size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') {
            if (bytes[end] == '\0')
                throw ECodeListError(path, number, "die Zeile enth\xC3\xA4lt ein NUL-Byte");
            if (end - pos >= MaxLineLength)
                throw ECodeListError(path, number, "die Zeile ist l\xC3\xA4nger als 4096 Bytes");
            ++end;
        }
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
        if (utf8) {
            if (!Utf8ToCp1252(line, converted))
                throw ECodeListError(path, number, "die Zeile enth\xC3\xA4lt ein Zeichen, das es in Windows-1252 nicht gibt");
            line = converted;
        }
        const std::string_view trimmed = TrimField(line);
        if (trimmed.empty() || trimmed.front() == '#')
            continue;
        list.AddLine(trimmed, number, path);
    }
    Group(list.FParameterLines, list.FKeys.Size(), list.FParameters, list.FStarts);
    Group(list.FOfficeLines, list.FKeys.Size(), list.FOffices, list.FStarts);
    return list;
}

template <class T>
void TCodeList::Group(std::vector<std::pair<std::uint32_t, T>>& lines, std::size_t keys, std::vector<T>& grouped,
                      std::vector<std::uint32_t>& starts)
{
    if (lines.empty())
        return;
    starts.assign(keys + 1, 0);
    for (const auto& line : lines)
        ++starts[line.first + 1];
    for (std::size_t i = 1; i <= keys; ++i)
        starts[i] += starts[i - 1];
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    grouped.resize(lines.size());
    for (auto& line : lines)
        grouped[next[line.first]++] = std::move(line.second);
    lines.clear();
    lines.shrink_to_fit();
}

void TCodeList::AddLine(std::string_view line, std::int64_t number, const std::string& path)
{
    const TColumns columns = Columns(line);
    const std::string_view first = columns.Text[0];
    if (columns.Count == 0 || first.empty())
        throw ECodeListError(path, number, "die erste Spalte ist leer");
    ++FEntries;
    switch (FKind) {
    case ECodeListKind::Codes:
    case ECodeListKind::Texts:
        FKeys.Add(Key(first, FKind == ECodeListKind::Texts));
        return;
    case ECodeListKind::Parameters: {
        if (columns.Count > 3)
            throw ECodeListError(path, number, "die Zeile hat mehr als drei Spalten; erwartet wird Kode|Klartext|Einheit");
        TParameter parameter;
        if (columns.Count > 1)
            parameter.Text = Normalized(columns.Text[1], false);
        if (columns.Count > 2)
            parameter.Unit = Normalized(columns.Text[2], false);
        FParameterLines.emplace_back(FKeys.Add(Key(first, false)), std::move(parameter));
        return;
    }
    case ECodeListKind::SupplyAreas:
        if (columns.Count != 2 || columns.Text[1].empty())
            throw ECodeListError(path, number, "erwartet wird ID|GA-Kodierung, zwei Spalten, keine leer");
        if (ContentRules::HasInnerBlank(first))
            throw ECodeListError(path, number, "die ID enth\xC3\xA4lt ein Leerzeichen");
        FOfficeLines.emplace_back(FKeys.Add(first), Normalized(columns.Text[1], false));
        return;
    }
}

bool TCodeList::Contains(std::string_view value) const
{
    return FKeys.Find(Key(value, FKind == ECodeListKind::Texts)) != TKeyTable::None;
}

std::span<const TCodeList::TParameter> TCodeList::FindParameter(std::string_view code) const
{
    const std::uint32_t id = FKeys.Find(Key(code, false));
    if (id == TKeyTable::None || FParameters.empty())
        return {};
    return std::span<const TParameter>(FParameters).subspan(FStarts[id], FStarts[id + 1] - FStarts[id]);
}

bool TCodeList::TextMatches(std::string_view listed, std::string_view value)
{
    return listed.empty() || ContentRules::EqualNormalized(listed, value, true);
}

std::span<const std::string> TCodeList::FindSupplyArea(std::string_view id) const
{
    const std::uint32_t key = FKeys.Find(id);
    if (key == TKeyTable::None || FOffices.empty())
        return {};
    return std::span<const std::string>(FOffices).subspan(FStarts[key], FStarts[key + 1] - FStarts[key]);
}
