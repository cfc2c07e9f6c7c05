#include "WorkbookExport.h"

#include "ByteSource.h"
#include "TableHeadings.h"
#include "Utf8Text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

namespace {

class TProgressSource : public TByteSource {
public:
    TProgressSource(const std::string& path, TProgress& progress) : FFile(path),
                                                                    FProgress(progress) { }
    std::uint64_t Size() const override { return FFile.Size(); }
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override
    {
        const std::size_t n = FFile.ReadAt(offset, buffer, count);
        FProgress.Advance(n);
        return n;
    }

private:
    TFileSource FFile;
    TProgress& FProgress;
};

// The widths and text of one file's rows, and its first field too long for a cell.
class TMeasure : public TInvestigationSink {
public:
    static constexpr std::size_t LeadingColumns = 3; // file, examination number, first line

    explicit TMeasure(std::string_view fileName)
        : FWidths{std::vector<std::uint32_t>(ParameterTableHeadings().size()),
                  std::vector<std::uint32_t>(InvestigationTableHeadings().size())}
    {
        const std::uint32_t chars = Utf8Chars(fileName);
        FWidths.Parameters[0] = FWidths.Investigations[0] = chars;
        SharedText = TXlsxTable::MaxStringFrame + TXlsxTable::SharedTextBytes(fileName, false);
    }

    void BeginInvestigation(const TWalkInvestigation& investigation) override
    {
        Widen(1, Digits(investigation.Number), true);
        Widen(2, Digits(investigation.FirstLine), true);
        for (std::size_t i = 0; i < investigation.Master.size(); ++i) {
            const std::int64_t line = investigation.FirstLine + (i < HeaderLine1Fields ? 0 : 1);
            Text(LeadingColumns + i, investigation.Master[i], line, static_cast<int>(i) + 1, true);
        }
    }

    void Parameter(const TWalkInvestigation&, std::int64_t line, const TParameterFields& fields) override
    {
        const std::size_t lineColumn = LeadingColumns + MasterFieldCount;
        Widen(lineColumn, Digits(line), false);
        for (std::size_t i = 0; i < fields.size(); ++i)
            Text(lineColumn + 1 + i, fields[i], line, FieldLayout::Parameter.FirstField + static_cast<int>(i), false);
    }

    void EndInvestigation(const TWalkInvestigation&, std::int64_t parameterCount) override
    {
        FWidths.Investigations.back() = std::max(FWidths.Investigations.back(), Digits(parameterCount));
    }

    TColumnWidths FWidths;
    std::uint64_t SharedText = 0;
    std::optional<TLongField> Long;

private:
    // Thrown to end the walk at the first long field.
    struct TStop { };

    static constexpr std::size_t HeaderLine1Fields = FieldLayout::Header1.FieldCount;

    static std::uint32_t Digits(std::int64_t value) { return static_cast<std::uint32_t>(std::to_string(value).size()); }

    static std::uint32_t Utf8Chars(std::string_view text)
    {
        return static_cast<std::uint32_t>(std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    }

    // A column of both sheets (the leading ones and master data), or of the parameters' alone.
    void Widen(std::size_t column, std::uint32_t chars, bool both)
    {
        FWidths.Parameters[column] = std::max(FWidths.Parameters[column], chars);
        if (both)
            FWidths.Investigations[column] = std::max(FWidths.Investigations[column], chars);
    }

    void Text(std::size_t column, std::string_view text, std::int64_t line, int field, bool both)
    {
        if (text.empty())
            return;
        // A byte of Windows-1252 is one character.
        if (text.size() > TXlsxTable::MaxCellChars) {
            Long = TLongField{line, field, text.size()};
            throw TStop{};
        }
        Widen(column, static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), UINT32_MAX)), both);
        // The table of shared strings stores a text at most once per examination,
        // and a parameter's at most once per row.
        SharedText += TXlsxTable::MaxStringFrame + TXlsxTable::SharedTextBytes(text, true);
    }

public:
    void Walk(const std::string& path)
    {
        try {
            TFileSource file(path);
            std::unique_ptr<char[]> buffer;
            WalkInvestigationsPart(file, TFilePart{}, *this, buffer);
        } catch (const TStop&) {
        }
    }
};

// "4 GiB" for a part's own limit; a limit handed in is named in bytes.
std::string LimitText(std::uint64_t limit)
{
    return limit == TXlsxTable::MaxPartSize ? std::string("4 GiB") : std::to_string(limit) + " Bytes";
}

} // namespace

std::optional<TLongField> TWorkbookRows::Measure(const std::string& path)
{
    TMeasure measure(BytesToUtf8(path));
    measure.Walk(path);
    if (measure.Long)
        return measure.Long;
    if (FWidths.Parameters.empty())
        FWidths = measure.FWidths;
    for (std::size_t i = 0; i < FWidths.Parameters.size(); ++i)
        FWidths.Parameters[i] = std::max(FWidths.Parameters[i], measure.FWidths.Parameters[i]);
    for (std::size_t i = 0; i < FWidths.Investigations.size(); ++i)
        FWidths.Investigations[i] = std::max(FWidths.Investigations[i], measure.FWidths.Investigations[i]);
    FSharedText += measure.SharedText;
    return std::nullopt;
}

std::string TWorkbookRows::Overflow(const std::string& shown, std::uint64_t partLimit) const
{
    const std::int64_t limit = TXlsxTable::MaxRows - 1; // under the heading row
    const char* sheet = FParameters > limit ? "Parameter" : FInvestigations > limit ? "Untersuchungen"
                                                                                    : nullptr;
    if (sheet) {
        const std::int64_t rows = FParameters > limit ? FParameters : FInvestigations;
        return "Die Arbeitsmappe " + shown + " wird nicht geschrieben: das Blatt „" + sheet +
               "“ bekäme " + std::to_string(rows) + " Zeilen, ein Arbeitsblatt fasst hö" +
               "chstens " + std::to_string(limit) + ". Mit --format csv gibt es keine Grenze.";
    }
    // A sheet holds a reference or a number per cell, so its size follows its rows.
    const auto sheetBytes = [](std::int64_t rows) {
        return TXlsxTable::MaxSheetFrame + static_cast<std::uint64_t>(rows + 1) * TXlsxTable::MaxRowBytes;
    };
    const char* part = sheetBytes(FParameters) > partLimit                   ? "das Blatt „Parameter“"
                       : sheetBytes(FInvestigations) > partLimit             ? "das Blatt „Untersuchungen“"
                       : TXlsxTable::MaxSheetFrame + FSharedText > partLimit ? "ihr Text"
                                                                             : nullptr;
    if (!part)
        return {};
    return "Die Arbeitsmappe " + shown + " wird nicht geschrieben: " + part + " könnte größer werden als " +
           LimitText(partLimit) + ", mehr fasst ein Teil einer Arbeitsmappe nicht. Mit --format csv gibt es keine Grenze.";
}

std::string LongFieldText(const std::string& path, const TLongField& field)
{
    const std::string line = std::to_string(field.Line);
    return BytesToUtf8(path) + ":" + line + ": Feld " + std::to_string(field.Field) + " in Zeile " + line + " hat " +
           std::to_string(field.Chars) + " Zeichen, eine Zelle der Arbeitsmappe fasst höchstens " +
           std::to_string(TXlsxTable::MaxCellChars) + ". Die Datei wird nicht ausgegeben.\n";
}

void WalkIntoWorkbook(const std::string& path, TXlsxTable& workbook, TProgress& progress)
{
    TProgressSource file(path, progress);
    std::unique_ptr<char[]> buffer;
    workbook.BeginFile(path);
    WalkInvestigationsPart(file, TFilePart{}, workbook, buffer);
}
