#include "DifferenceWorkbook.h"

#include "Cp1252.h"
#include "DifferenceReport.h"
#include "FieldCaptions.h"
#include "FieldLayout.h"
#include "Utf8Text.h"

#include <cstddef>
#include <cstdio>
#include <ctime>
#ifdef _WIN32
#include "WideText.h"
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using EFill = TStyledWorkbook::EFill;
using TCell = TStyledWorkbook::TCell;
using TRow = TStyledWorkbook::TRow;

TCell Number(std::int64_t value, EFill fill)
{
    return {NumberCellText(value), fill, true};
}

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

// "15.10.2026 09:30:00", the file's modification time where this machine
// stands; empty when it cannot be read.
std::string ModificationText(const std::string& path)
{
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME utc, local;
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return {};
    day = local.wDay, month = local.wMonth, year = local.wYear;
    hour = local.wHour, minute = local.wMinute, second = local.wSecond;
#else
    struct stat st { };
    std::tm tm{};
    if (stat(path.c_str(), &st) != 0 || !localtime_r(&st.st_mtime, &tm))
        return {};
    day = tm.tm_mday, month = tm.tm_mon + 1, year = tm.tm_year + 1900;
    hour = tm.tm_hour, minute = tm.tm_min, second = tm.tm_sec;
#endif
    char text[80];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", day, month, year, hour, minute, second);
    return text;
}

// The path in full, so that the filed workbook names the file wherever it is
// read; as given when that fails.
std::string FullPath(const std::string& path)
{
#ifdef _WIN32
    const std::wstring wide = Utf8ToWide(path);
    std::wstring full(MAX_PATH, L'\0');
    DWORD size = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (size >= full.size()) {
        full.resize(size);
        size = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    return size == 0 || size >= full.size() ? path : WideToUtf8(std::wstring_view(full.data(), size));
#else
    if (!path.empty() && path.front() == '/')
        return path;
    std::string folder(4096, '\0');
    if (!getcwd(folder.data(), folder.size()))
        return path;
    folder.resize(folder.find('\0'));
    return folder + (folder.back() == '/' ? "" : "/") + (path.rfind("./", 0) == 0 ? path.substr(2) : path);
#endif
}

std::string KeyFieldsText(const std::vector<int>& keyFields)
{
    if (keyFields.empty())
        return FieldName(31) + " mit " + FieldName(3) + ", wo dieses leer ist mit " + FieldName(5);
    std::string text;
    for (const int field : keyFields)
        text += (text.empty() ? "" : ", ") + FieldName(field);
    return text;
}

TRow Labelled(const char* label, std::string text) { return {{label, EFill::None, false, true}, {std::move(text)}}; }

} // namespace

TDifferenceWorkbook::TDifferenceWorkbook(const std::string& target, std::uint64_t rowLimit)
    : FTarget(target),
      FRowLimit(rowLimit),
      FDifferences(target),
      FInvestigations(target)
{
}

void TDifferenceWorkbook::Difference(const TDifference& d)
{
    // Past what a sheet holds the rows are only counted: the workbook is refused.
    if (++FDifferenceRows > FRowLimit)
        return;
    const bool changed = d.Kind == EDifference::FieldChanged;
    const EFill fill = RowFill(d.Kind);
    const EFill values = changed ? EFill::Changed : fill;
    FRow = {{std::string(KindText(d.Kind)), fill},
            {KeyText(d.Key), fill},
            {d.OldKey.empty() ? std::string() : KeyText(d.OldKey), d.OldKey.empty() ? fill : EFill::Changed},
            Number(d.OldLine, fill),
            Number(d.NewLine, fill),
            Number(changed ? d.Field : 0, fill),
            {changed ? FieldName(d.Field) : std::string(), fill},
            {Cp1252ToUtf8(d.Old), values},
            {Cp1252ToUtf8(d.New), values},
            {Cp1252ToUtf8(d.ParameterId), fill},
            {Cp1252ToUtf8(d.ParameterText), fill}};
    FDifferences.Add(FRow);
}

void TDifferenceWorkbook::Investigation(const TInvestigationFields& inv)
{
    const bool both = !inv.Old.empty() && !inv.New.empty();
    const bool parametersOnly = both && inv.ParametersOnly;
    const char* change = !both ? (inv.New.empty() ? "entfallen" : "neu") : parametersOnly ? "nur Parameter"
                                                                                          : "Felder";
    const auto row = [&](const char* side, std::int64_t line, const TInvestigationKey& key,
                         const std::vector<std::string>& fields, EFill fill) {
        if (++FInvestigationRows > FRowLimit)
            return;
        // The key stands out where only the parameters changed, or the key itself.
        const EFill keyFill = parametersOnly || (both && !inv.OldKey.empty()) ? EFill::Changed : fill;
        FRow = {{side, fill}, Number(line, fill), {KeyText(key), keyFill}, {change, fill}};
        for (std::size_t i = 0; i < fields.size(); ++i)
            FRow.push_back({Cp1252ToUtf8(fields[i]), both && inv.Old[i] != inv.New[i] ? EFill::Changed : fill});
        FInvestigations.Add(FRow);
    };
    if (!inv.Old.empty())
        row("alt", inv.OldLine, inv.OldKey.empty() ? inv.Key : inv.OldKey, inv.Old, both ? EFill::None : EFill::Removed);
    if (!inv.New.empty())
        row("neu", inv.NewLine, inv.Key, inv.New, both ? EFill::None : EFill::Added);
}

void TDifferenceWorkbook::Commit(const TComparison& comparison, const std::string& oldPath, const std::string& newPath,
                                 const std::vector<int>& keyFields)
{
    const auto file = [](const std::string& path) {
        const std::string time = ModificationText(path);
        return BytesToUtf8(FullPath(path)) + (time.empty() ? "" : ", geändert am " + time);
    };
    TStyledWorkbook::TSheet differences{"Unterschiede",
                                        {Labelled("Alt:", file(oldPath)), Labelled("Neu:", file(newPath)),
                                         Labelled("Schlüssel:", KeyFieldsText(keyFields)),
                                         Labelled("Ergebnis:", SummaryText(comparison))},
                                        {DifferenceHeadings.begin(), DifferenceHeadings.end()},
                                        &FDifferences,
                                        FDifferenceRows,
                                        {}};
    for (const std::string& note : {RepeatedKeyNote(comparison), BoundedKeyNote(comparison)})
        if (!note.empty())
            differences.Above.push_back({{}, {note}});
    if (!comparison.HasDifferences())
        differences.Above.push_back({{}, {"Die Dateien unterscheiden sich nicht."}});
    differences.Above.emplace_back();
    // The legend, apart from the table and its filter.
    differences.Below = {{},
                         {{"Legende:", EFill::None, false, true}},
                         {{"gelb", EFill::Changed}, {"ein geänderter Wert"}},
                         {{"grün", EFill::Added}, {"Untersuchung oder Parameter neu"}},
                         {{"rot", EFill::Removed}, {"Untersuchung oder Parameter entfallen"}}};

    TStyledWorkbook::TSheet investigations{"Untersuchungen", {}, {"Datei", "Zeile", "Schlüssel", "Änderung"}, &FInvestigations, FInvestigationRows, {}, 3};
    for (int field = 1; field <= FieldLayout::HeaderEntries; ++field)
        investigations.Headings.push_back(FieldHeading(field));
    TStyledWorkbook::Write(FTarget, differences, investigations, FRowLimit);
}
