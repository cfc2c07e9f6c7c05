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

// A workbook for spreadsheet users: sheet "Parameter" with one row per
// parameter and sheet "Untersuchungen" with one row per examination, every
// cell text. Its sheets are written as they come, deflated, into a file
// beside the target (the second sheet's bytes through a nameless file there
// too), so memory does not grow with the rows; the file takes the target's
// place only in Commit, after it has been read back; otherwise the target
// stays untouched and nothing is left behind. Failures throw EOutputError
// with a UTF-8 text.
class TXlsxTable : public TInvestigationSink {
public:
    // The rows a sheet holds, its heading row included.
    static constexpr std::uint32_t MaxRows = 1048576;

    explicit TXlsxTable(const std::string& target);
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
        std::uint16_t Column = 0; // of the next cell in the row
    };

    void StartSheet(TSheet& sheet, bool selected, const std::vector<std::string>& headings);
    void NextRow(TSheet& sheet);
    void EndRow(TSheet& sheet);
    void Cell(TSheet& sheet, std::string_view text, bool cp1252, int style);
    void Hand(TSheet& sheet, bool all);
    void LeadingCells(TSheet& sheet, const TWalkInvestigation& investigation);
    void Abandon();

    std::string FTarget, FTemporary, FShown;
    std::unique_ptr<TZipWriter> FZip;
    std::FILE* FSecondFile = nullptr; // the nameless file of the second sheet
    std::unique_ptr<TDeflateStream> FSecond;
    TSheet FParameters, FInvestigations;
    std::string FFileName;
    std::int64_t FLine = 0; // the line a failure is reported for
};

// Reads a finished workbook back: every part of it complete and unchanged
// (sizes and checksums), and each named sheet ending properly with the number
// of rows written. Throws EOutputError otherwise.
struct TExpectedSheet {
    std::string Part; // "xl/worksheets/sheet1.xml"
    std::uint64_t Rows;
};
void VerifyWorkbook(const std::string& path, const std::vector<TExpectedSheet>& sheets);
