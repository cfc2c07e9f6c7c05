#pragma once

#include "InvestigationWalk.h"
#include "SystemError.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A workbook for spreadsheet users: sheet "Parameter" with one row per
// parameter and sheet "Untersuchungen" with one row per examination, every
// cell text. It is written beside the target in constant-memory mode (the
// library's own temporary files there too) and takes the target's place only
// in Commit, after the finished file has been read back; otherwise the
// target stays untouched and nothing is left behind, also when the program
// is interrupted. target is where the workbook goes: a link already followed
// (see CheckWorkbookTarget). Failures throw EOutputError with a UTF-8 text;
// the library's own lines on standard error are held back.
class TXlsxTable : public TInvestigationSink {
public:
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
        lxw_worksheet* Sheet = nullptr;
        std::uint32_t Rows = 0; // the heading row included
        std::uint16_t Columns = 0;
    };

    void AddSheet(TSheet& sheet, const char* name, const std::vector<std::string>& headings);
    void NextRow(TSheet& sheet);
    void Cell(TSheet& sheet, std::uint16_t column, std::string_view utf8);
    void Cp1252Cell(TSheet& sheet, std::uint16_t column, std::string_view cp1252);
    void LeadingCells(TSheet& sheet, const TWalkInvestigation& investigation);
    void Check(int error, const TSystemError& why = {}) const;
    void Abandon();

    std::string FTarget, FTemporary, FFolder;
    lxw_workbook* FWorkbook = nullptr;
    lxw_format* FText = nullptr;
    lxw_format* FHeading = nullptr;
    TSheet FParameters, FInvestigations;
    std::string FFileName, FCell;
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
