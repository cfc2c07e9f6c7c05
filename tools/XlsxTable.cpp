#include "XlsxTable.h"

#include "ExportTable.h"
#include "InterruptCleanup.h"
#include "JsonWriter.h"
#include "OutputFile.h"
#include "QuietStandardError.h"
#include "SystemErrorText.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>

namespace {

// Wide enough for a date or a code, never wider than a screen third.
double ColumnWidth(std::string_view heading)
{
    std::size_t chars = 0;
    for (const char c : heading)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return static_cast<double>(std::clamp<std::size_t>(chars + 2, 10, 36));
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A workbook reads "_xHHHH_" in a cell as the character HHHH (the library
// writes control characters that way), so text that holds it literally gets
// its "_" written as "_x005F_" to come back unchanged.
void EscapeLiteralCodes(std::string& text)
{
    std::size_t pos = text.find("_x");
    if (pos == std::string::npos)
        return;
    std::string escaped;
    std::size_t done = 0;
    for (; pos != std::string::npos; pos = text.find("_x", pos + 1)) {
        if (pos + 7 > text.size() || text[pos + 6] != '_' ||
            !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(pos + 2),
                         text.begin() + static_cast<std::ptrdiff_t>(pos + 6), IsHexDigit))
            continue;
        escaped.append(text, done, pos - done).append("_x005F_");
        done = pos + 1;
    }
    if (done == 0)
        return;
    text = escaped.append(text, done);
}

// The library's failures in German; its own texts are English.
std::string LibraryErrorText(int error)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return "nicht genug Arbeitsspeicher";
    case LXW_ERROR_CREATING_XLSX_FILE:
        return "die Datei kann nicht angelegt werden";
    case LXW_ERROR_CREATING_TMPFILE:
        return "eine Hilfsdatei kann nicht angelegt werden";
    case LXW_ERROR_READING_TMPFILE:
        return "eine Hilfsdatei kann nicht gelesen werden";
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return "die gepackte Datei kann nicht geschrieben werden";
    default:
        return "interner Fehler " + std::to_string(error) + " beim Schreiben";
    }
}

} // namespace

TXlsxTable::TXlsxTable(const std::string& target)
    : FTarget(target),
      FFolder(FolderOf(target))
{
    const TQuietStandardError quiet;
    // A signal waits until the file is registered and the library has made
    // its own temporary files, which it removes at once but, in between,
    // holds under a name of their own that no handler knows.
    const TInterruptHold hold;
    FTemporary = CreateFileBeside(target);
    RemoveOnInterrupt(FTemporary);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    // The library's own temporary files go where the workbook goes: a full
    // disk there shows up here, not on another file system.
    options.tmpdir = FFolder.data();
    errno = 0;
    FWorkbook = workbook_new_opt(FTemporary.c_str(), &options);
    if (!FWorkbook) {
        const TSystemError why = LastErrno();
        RemoveFile(FTemporary);
        KeepOnInterrupt();
        throw EOutputError(WithReason("Die Arbeitsmappe " + BytesToUtf8(target) + " kann nicht angelegt werden.", why));
    }
    try {
        FText = workbook_add_format(FWorkbook);
        FHeading = workbook_add_format(FWorkbook);
        if (!FText || !FHeading)
            Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
        // "@": typing into a cell keeps text as text too.
        format_set_num_format(FText, "@");
        format_set_num_format(FHeading, "@");
        format_set_bold(FHeading);
        AddSheet(FParameters, "Parameter", ParameterTableHeadings());
        AddSheet(FInvestigations, "Untersuchungen", InvestigationTableHeadings());
    } catch (...) {
        Abandon();
        throw;
    }
}

TXlsxTable::~TXlsxTable() { Abandon(); }

void TXlsxTable::Abandon()
{
    const TQuietStandardError quiet;
    if (FWorkbook) {
        lxw_workbook_free(FWorkbook);
        FWorkbook = nullptr;
    }
    if (!FTemporary.empty()) {
        RemoveFile(FTemporary);
        KeepOnInterrupt();
        FTemporary.clear();
    }
}

void TXlsxTable::Check(int error, const TSystemError& why) const
{
    if (error == LXW_NO_ERROR)
        return;
    std::string text = "Die Arbeitsmappe " + BytesToUtf8(FTarget) + " kann nicht geschrieben werden";
    if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        text += ": ein Feld in Zeile " + std::to_string(FLine) + " von " + FFileName +
                " ist l\xC3\xA4nger als die 32767 Zeichen einer Zelle";
    else
        text += ": " + LibraryErrorText(error);
    throw EOutputError(WithReason(text + ".", why));
}

void TXlsxTable::AddSheet(TSheet& sheet, const char* name, const std::vector<std::string>& headings)
{
    sheet.Sheet = workbook_add_worksheet(FWorkbook, name);
    if (!sheet.Sheet)
        Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
    sheet.Columns = static_cast<std::uint16_t>(headings.size());
    for (std::uint16_t col = 0; col < sheet.Columns; ++col)
        Check(worksheet_set_column(sheet.Sheet, col, col, ColumnWidth(headings[col]), FText));
    worksheet_freeze_panes(sheet.Sheet, 1, 0);
    for (std::uint16_t col = 0; col < sheet.Columns; ++col)
        Check(worksheet_write_string(sheet.Sheet, 0, col, headings[col].c_str(), FHeading));
    sheet.Rows = 1;
}

void TXlsxTable::NextRow(TSheet& sheet)
{
    if (sheet.Rows >= LXW_ROW_MAX)
        throw EOutputError("Ein Arbeitsblatt fasst h\xC3\xB6"
                           "chstens 1048575 Zeilen; " +
                           FFileName + " f\xC3\xBChrt dar\xC3\xBC"
                                       "ber hinaus. Mit --format csv gibt es keine Grenze.");
    ++sheet.Rows;
}

void TXlsxTable::Cell(TSheet& sheet, std::uint16_t column, std::string_view utf8)
{
    FCell.assign(utf8);
    EscapeLiteralCodes(FCell);
    Check(worksheet_write_string(sheet.Sheet, sheet.Rows - 1, column, FCell.c_str(), FText));
}

void TXlsxTable::Cp1252Cell(TSheet& sheet, std::uint16_t column, std::string_view cp1252)
{
    FCell.clear();
    AppendCp1252AsUtf8(FCell, cp1252);
    EscapeLiteralCodes(FCell);
    Check(worksheet_write_string(sheet.Sheet, sheet.Rows - 1, column, FCell.c_str(), FText));
}

void TXlsxTable::LeadingCells(TSheet& sheet, const TWalkInvestigation& investigation)
{
    NextRow(sheet);
    Cell(sheet, 0, FFileName);
    Cell(sheet, 1, std::to_string(investigation.Number));
    Cell(sheet, 2, std::to_string(investigation.FirstLine));
    for (std::uint16_t i = 0; i < MasterFieldCount; ++i)
        Cp1252Cell(sheet, static_cast<std::uint16_t>(3 + i), investigation.Master[i]);
}

void TXlsxTable::BeginFile(std::string_view path) { FFileName = BytesToUtf8(path); }

void TXlsxTable::BeginInvestigation(const TWalkInvestigation& investigation) { FLine = investigation.FirstLine; }

void TXlsxTable::Parameter(const TWalkInvestigation& investigation, std::int64_t line, const TParameterFields& fields)
{
    const TQuietStandardError quiet;
    FLine = line;
    LeadingCells(FParameters, investigation);
    for (std::uint16_t i = 0; i < ParameterFieldCount; ++i)
        Cp1252Cell(FParameters, static_cast<std::uint16_t>(3 + MasterFieldCount + i), fields[i]);
}

void TXlsxTable::EndInvestigation(const TWalkInvestigation& investigation, std::int64_t parameterCount)
{
    const TQuietStandardError quiet;
    FLine = investigation.FirstLine;
    if (parameterCount == 0)
        LeadingCells(FParameters, investigation);
    LeadingCells(FInvestigations, investigation);
    Cell(FInvestigations, static_cast<std::uint16_t>(3 + MasterFieldCount), std::to_string(parameterCount));
}

void TXlsxTable::Commit()
{
    const TQuietStandardError quiet;
    try {
        for (TSheet* sheet : {&FParameters, &FInvestigations})
            Check(worksheet_autofilter(sheet->Sheet, 0, 0, sheet->Rows - 1, static_cast<lxw_col_t>(sheet->Columns - 1)));
        lxw_workbook* workbook = FWorkbook;
        FWorkbook = nullptr; // closing frees it, whatever the result
        // The library returns its own codes; errno, when it is set, says why.
        errno = 0;
        const lxw_error closed = workbook_close(workbook);
        Check(closed, LastErrno());
        // The library has been seen to report success after failed writes to
        // its temporary files: only a workbook read back whole counts.
        VerifyWorkbook(FTemporary, {{"xl/worksheets/sheet1.xml", FParameters.Rows},
                                    {"xl/worksheets/sheet2.xml", FInvestigations.Rows}});
        TSystemError why;
        if (!SyncFile(FTemporary, &why) || !MoveIntoPlace(FTemporary, FTarget, &why))
            throw EOutputError(WithReason("Die Arbeitsmappe " + BytesToUtf8(FTarget) + " kann nicht gespeichert werden.", why));
        // Renamed first, forgotten after: a signal in between finds no file to remove.
        KeepOnInterrupt();
        FTemporary.clear();
    } catch (...) {
        Abandon();
        throw;
    }
}
