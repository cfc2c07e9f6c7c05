#pragma once

#include "InvestigationWalk.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TZipWriter;
class TDeflateStream;

// How wide each column's text is, in characters, the heading left aside:
// the sheets' columns in order.
struct TColumnWidths {
    std::vector<std::uint32_t> Parameters, Investigations;
};

// A workbook for spreadsheet users: sheet "Parameter" with one row per
// parameter and sheet "Untersuchungen" with one row per examination. The
// file's fields are text (format "@"); the export's own numbers (examination
// number, lines, parameter count) are numbers. Text is stored once in the
// workbook's shared strings, so the master data an examination repeats on
// each of its rows costs a reference; the table that finds repeats is kept
// to a few MB, and holds at least the current examination's master data.
// Its parts are written as they come, deflated, into a file beside the
// target (the second sheet and the shared strings through nameless files
// there too), so memory does not grow with the rows; the file takes the
// target's place only in Commit, after it has been read back; otherwise the
// target stays untouched and nothing is left behind. Failures throw
// EOutputError with a UTF-8 text.
class TXlsxTable : public TInvestigationSink {
public:
    // The rows a sheet holds, its heading row included.
    static constexpr std::uint32_t MaxRows = 1048576;
    // The characters a cell holds.
    static constexpr std::size_t MaxCellChars = 32767;
    // The text a part may hold without ZIP64, which not every spreadsheet reads.
    static constexpr std::uint64_t MaxPartSize = 0xFFFFFFFE;
    // Upper bounds of what the parts take: per row of a sheet (57 cells of a
    // shared-string reference or a number at most), per sheet beyond its
    // rows, and per shared string beyond its text (see SharedTextBytes).
    static constexpr std::uint64_t MaxRowBytes = 24 + 57 * 56;
    static constexpr std::uint64_t MaxSheetFrame = 64 << 10;
    static constexpr std::uint64_t MaxStringFrame = 40;
    // At most the bytes text takes in the shared strings, its frame aside.
    static std::uint64_t SharedTextBytes(std::string_view text, bool cp1252);

    // widths: as measured over the rows to come (TWorkbookRows); empty gives
    // the headings' widths.
    explicit TXlsxTable(const std::string& target, const TColumnWidths& widths = {});
    ~TXlsxTable() override;
    TXlsxTable(const TXlsxTable&) = delete;
    TXlsxTable& operator=(const TXlsxTable&) = delete;

    void BeginFile(std::string_view path);
    void BeginInvestigation(const TWalkInvestigation& investigation) override;
    void Parameter(const TWalkInvestigation& investigation, std::int64_t line, const TParameterFields& fields) override;
    void EndInvestigation(const TWalkInvestigation& investigation, std::int64_t parameterCount) override;

    void Commit();

private:
    struct TSheet {
        std::string Xml; // what is not yet handed to the deflate stream
        std::uint32_t Rows = 0; // the heading row included
        std::uint16_t Columns = 0;
        std::string RowText; // the current row's number
        std::uint16_t Column = 0; // of the next cell in the row
    };
    struct TStringTable;
    struct TScratch {
        std::FILE* File = nullptr; // nameless, beside the target
        std::unique_ptr<TDeflateStream> Stream;
    };

    void OpenScratch(TScratch& scratch);
    void StartSheet(TSheet& sheet, bool selected, const std::vector<std::string>& headings,
                    const std::vector<std::uint32_t>& widths);
    void NextRow(TSheet& sheet);
    void EndRow(TSheet& sheet);
    void PutCells(TSheet& sheet, std::string_view cells);
    void TextCell(std::string& xml, std::string_view text, bool remember, int field);
    void NumberCell(std::string& xml, std::int64_t value);
    void Hand(TSheet& sheet, bool all);
    void HandStrings(bool all);
    void Abandon();

    std::string FTarget, FTemporary, FShown;
    std::unique_ptr<TZipWriter> FZip;
    TScratch FSecond, FShared; // the second sheet, the shared strings
    std::unique_ptr<TStringTable> FStrings;
    std::string FSharedXml; // shared strings not yet handed on
    TSheet FParameters, FInvestigations;
    std::string FFileName;
    std::uint32_t FFileString = 0; // the file name's shared string
    std::string FLeading; // the cells an examination puts at the start of each of its rows
    std::string FCells; // the rest of the row being made
    std::int64_t FLine = 0; // the line a failure is reported for
};

// Opens a file beside target for writing and reading back that has no name
// by the time it is returned, so no run leaves it behind. Throws EOutputError.
std::FILE* OpenScratchBeside(const std::string& target);
