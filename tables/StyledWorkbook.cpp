#include "StyledWorkbook.h"

#include "InterruptCleanup.h"
#include "Output.h"
#include "OutputFile.h"
#include "SheetXml.h"
#include "SystemErrorText.h"
#include "Utf8Text.h"
#include "XlsxVerify.h"
#include "ZipWriter.h"

#include <algorithm>
#include <cstring>

using namespace SheetXml;

namespace {

using TStyledSheet = TStyledWorkbook::TSheet;

std::uint32_t Characters(std::string_view utf8)
{
    std::uint32_t chars = 0;
    for (const char c : utf8)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars;
}

// The style of a cell (see Styles): text, a number, or in the table text
// longer than the widest column, which wraps; above and below the table it
// runs on into the empty cells beside it.
bool Wraps(const TStyledWorkbook::TCell& cell, bool table)
{
    return table && !cell.Number && !cell.Bold && Characters(cell.Text) > TStyledWorkbook::MaxColumnChars;
}

int StyleOf(const TStyledWorkbook::TCell& cell, bool table)
{
    if (cell.Bold)
        return 19;
    const int kind = cell.Number ? 1 : (Wraps(cell, table) ? 2 : 0);
    return 7 + 4 * kind + static_cast<int>(cell.Fill);
}

std::uint32_t SheetRows(const TStyledSheet& sheet) { return static_cast<std::uint32_t>(sheet.Above.size() + 1 + sheet.RowCount + sheet.Below.size()); }

TSheetRange RangeOf(const TStyledSheet& sheet)
{
    return {sheet.Name.c_str(), static_cast<std::uint32_t>(sheet.Above.size() + 1 + sheet.RowCount),
            static_cast<std::uint16_t>(sheet.Headings.size()), static_cast<std::uint32_t>(sheet.Above.size() + 1),
            sheet.TitleColumns, true};
}

// The lines text takes in a column of width characters, broken after blanks
// and hyphens as a spreadsheet breaks it, a longer word anywhere.
std::uint32_t WrappedLines(std::string_view text, std::uint32_t width)
{
    std::uint32_t lines = 1, used = 0, word = 0, blanks = 0;
    const auto endWord = [&] {
        if (used > 0 && used + word > width) {
            ++lines;
            used = 0;
        }
        for (; word > width; word -= width)
            ++lines;
        used += word + blanks;
        word = blanks = 0;
    };
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80)
            continue;
        if (c == ' ') {
            ++blanks;
            continue;
        }
        if (blanks > 0)
            endWord();
        ++word;
        if (c == '-')
            endWord();
    }
    endWord();
    return lines;
}

class TStyledSheetWriter {
public:
    TStyledSheetWriter(TZipWriter& zip, std::string shown)
        : FZip(zip),
          FShown(std::move(shown))
    {
    }

    void Write(const TStyledSheet& sheet, bool selected)
    {
        // The columns as wide as their widest cell of the table.
        std::vector<std::uint32_t> widths(sheet.Headings.size(), 0);
        TStyledWorkbook::TRow row;
        sheet.Rows->Rewind();
        while (sheet.Rows->Next(row)) {
            for (std::size_t col = 0; col < row.size() && col < widths.size(); ++col)
                widths[col] = std::max(widths[col], Characters(row[col].Text));
        }
        const TSheetRange range = RangeOf(sheet);
        AppendSheetStart(FXml, selected, sheet.Headings, widths, range);
        // What fits on a line of each column: its width, a little less for
        // letters wider than the digits it is measured in.
        FLineChars.clear();
        for (std::size_t col = 0; col < widths.size(); ++col)
            FLineChars.push_back(static_cast<std::uint32_t>(ColumnWidth(sheet.Headings[col], widths[col], true)) - 2);
        for (const TStyledWorkbook::TRow& above : sheet.Above)
            Row(above, false);
        // On paper a heading wider than its column wraps rather than hides.
        std::uint32_t lines = 1;
        for (std::size_t col = 0; col < sheet.Headings.size(); ++col)
            lines = std::max(lines, WrappedLines(sheet.Headings[col], FLineChars[col]));
        StartRow(std::to_string(++FRow), lines);
        AppendHeadingCells(FXml, sheet.Headings, FRow, 20);
        FXml += "</row>";
        sheet.Rows->Rewind();
        while (sheet.Rows->Next(row))
            Row(row, true);
        for (const TStyledWorkbook::TRow& below : sheet.Below)
            Row(below, false);
        AppendSheetEnd(FXml, sheet.Headings.size(), range.Rows, range);
        FZip.Write(FXml);
        FXml.clear();
    }

private:
    // Rows whose text wraps are given their height: not every spreadsheet
    // finds it when it opens the file.
    void StartRow(const std::string& number, std::uint32_t lines)
    {
        FXml += "<row r=\"" + number + "\"";
        if (lines > 1)
            FXml += " ht=\"" + std::to_string(15 * lines) + "\" customHeight=\"1\"";
        FXml += ">";
    }

    void Row(const TStyledWorkbook::TRow& row, bool table)
    {
        const std::string number = std::to_string(++FRow);
        std::uint32_t lines = 1;
        for (std::size_t col = 0; table && col < row.size() && col < FLineChars.size(); ++col) {
            if (Wraps(row[col], table))
                lines = std::max(lines, WrappedLines(row[col].Text, FLineChars[col]));
        }
        StartRow(number, lines);
        for (std::size_t col = 0; col < row.size(); ++col) {
            const TStyledWorkbook::TCell& cell = row[col];
            if (cell.Text.empty() && cell.Fill == TStyledWorkbook::EFill::None)
                continue;
            FXml += "<c r=\"" + ColumnNames()[col] + number + "\" s=\"" + std::to_string(StyleOf(cell, table)) + "\"";
            if (cell.Text.empty()) {
                FXml += "/>";
            } else if (cell.Number) {
                FXml += "><v>" + cell.Text + "</v></c>";
            } else {
                if (cell.Text.size() > TXlsxTable::MaxCellChars)
                    throw EOutputError("Die Arbeitsmappe " + FShown +
                                       " kann nicht geschrieben werden: ein Feld ist länger als die 32767 Zeichen einer Zelle.");
                FXml += " t=\"inlineStr\"><is>";
                AppendText(FXml, cell.Text, false);
                FXml += "</is></c>";
            }
        }
        FXml += "</row>";
        if (FXml.size() >= HandSize) {
            FZip.Write(FXml);
            FXml.clear();
        }
    }

    TZipWriter& FZip;
    std::string FShown;
    std::string FXml;
    std::uint32_t FRow = 0;
    std::vector<std::uint32_t> FLineChars;
};

} // namespace

void TStyledWorkbook::Write(const std::string& target, const TSheet& first, const TSheet& second, std::uint64_t rowLimit)
{
    const std::string shown = BytesToUtf8(target);
    // Refused before anything is written, as the export does.
    for (const TSheet* sheet : {&first, &second}) {
        const std::uint64_t rows = sheet->Above.size() + 1 + sheet->RowCount + sheet->Below.size();
        if (rows > rowLimit)
            throw EOutputError("Die Arbeitsmappe " + shown + " wird nicht geschrieben: das Blatt „" + sheet->Name + "“ bekäme " +
                               std::to_string(rows) + " Zeilen, ein Arbeitsblatt fasst höchstens " + std::to_string(rowLimit) +
                               ". Mit --format csv gibt es keine Grenze.");
    }
    std::string temporary;
    {
        const TInterruptHold hold;
        temporary = CreateFileBeside(target);
        RemoveOnInterrupt(temporary);
    }
    try {
        {
            TZipWriter zip(temporary, shown);
            zip.Add("[Content_Types].xml", ContentTypes());
            zip.Add("_rels/.rels", PackageRelations());
            zip.Add("xl/_rels/workbook.xml.rels", WorkbookRelations());
            zip.Add("xl/styles.xml", Styles());
            zip.Begin("xl/worksheets/sheet1.xml");
            TStyledSheetWriter(zip, shown).Write(first, true);
            zip.End();
            zip.Begin("xl/worksheets/sheet2.xml");
            TStyledSheetWriter(zip, shown).Write(second, false);
            zip.End();
            zip.Add("xl/sharedStrings.xml", std::string(XmlDeclaration) + "<sst xmlns=\"" + std::string(MainNamespace) +
                                                "\" count=\"0\" uniqueCount=\"0\"/>");
            zip.Add("xl/workbook.xml", Workbook({RangeOf(first), RangeOf(second)}));
            zip.Finish();
        }
        VerifyWorkbook(temporary, {{"xl/worksheets/sheet1.xml", SheetRows(first)}, {"xl/worksheets/sheet2.xml", SheetRows(second)}});
        TSystemError why;
        if (!SyncFile(temporary, &why) || !MoveIntoPlace(temporary, target, &why))
            throw EOutputError(WithReason("Die Arbeitsmappe " + shown + " kann nicht gespeichert werden.", why));
        KeepOnInterrupt();
    } catch (...) {
        RemoveFile(temporary);
        KeepOnInterrupt();
        throw;
    }
}
