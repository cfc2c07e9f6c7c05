#include "XlsxTable.h"

#include "InterruptCleanup.h"
#include "Output.h"
#include "OutputFile.h"
#include "SheetXml.h"
#include "SystemErrorText.h"
#include "TableHeadings.h"
#include "Utf8Text.h"
#include "XlsxVerify.h"

#include "ZipWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>
#include <unordered_map>

using namespace SheetXml;

namespace {

// Where a cell's reference goes in cells made ahead of their row, and an
// empty cell, which is left out; cell text never holds either (control
// characters are written as "_xHHHH_").
constexpr char ReferenceMark = '\x01';
constexpr char EmptyMark = '\x02';
// What the table of shared strings may hold beyond the current examination's
// master data (which it always keeps), its entries' upkeep counted.
constexpr std::size_t StringTableBudget = 1 << 20;
constexpr std::size_t EntryUpkeep = 96;

// What a byte of Windows-1252 text takes at most in a cell's XML.
constexpr std::array<std::uint8_t, 256> TextExpansion = [] {
    std::array<std::uint8_t, 256> bytes{};
    for (std::size_t b = 0; b < 256; ++b) {
        switch (TextClasses[b]) {
        case Plain:
            bytes[b] = 1;
            break;
        case Markup:
            bytes[b] = 5;
            break;
        case High:
            bytes[b] = 3;
            break;
        default: // a control character, or "_" as "_x005F_"
            bytes[b] = 7;
        }
    }
    return bytes;
}();

void AppendNumber(std::string& xml, std::uint64_t value)
{
    char digits[24];
    xml.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

} // namespace

// The texts already in the shared strings, by their file bytes. Entries of
// master data are kept for the whole examination that shows them; when the
// table grows past its budget it is emptied as the next examination begins,
// and a parameter's text that finds no room is stored without being kept.
// Either way a text is stored again at most once per examination.
struct TXlsxTable::TStringTable {
    struct THash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, std::uint32_t, THash, std::equal_to<>> Index;
    std::size_t Bytes = 0;
    std::uint32_t Count = 0;
};

std::uint64_t TXlsxTable::SharedTextBytes(std::string_view text, bool cp1252)
{
    if (!cp1252)
        return 7 * text.size();
    std::uint64_t bytes = 0;
    for (const char c : text)
        bytes += TextExpansion[static_cast<unsigned char>(c)];
    return bytes;
}

TXlsxTable::TXlsxTable(const std::string& target, const TColumnWidths& widths)
    : FTarget(target),
      FShown(BytesToUtf8(target)),
      FStrings(std::make_unique<TStringTable>())
{
    // A signal waits until the file is registered and the nameless files,
    // made under names of their own, have lost them again.
    const TInterruptHold hold;
    FTemporary = CreateFileBeside(target);
    RemoveOnInterrupt(FTemporary);
    try {
        FZip = std::make_unique<TZipWriter>(FTemporary, FShown);
        OpenScratch(FSecond);
        OpenScratch(FShared);
        FZip->Add("[Content_Types].xml", ContentTypes());
        FZip->Add("_rels/.rels", PackageRelations());
        FZip->Add("xl/_rels/workbook.xml.rels", WorkbookRelations());
        FZip->Add("xl/styles.xml", Styles());
        FZip->Begin("xl/worksheets/sheet1.xml");
        FSharedXml.reserve(2 * HandSize);
        FSharedXml.append(XmlDeclaration).append("<sst xmlns=\"").append(MainNamespace).append("\">");
        StartSheet(FParameters, true, ParameterTableHeadings(), widths.Parameters);
        StartSheet(FInvestigations, false, InvestigationTableHeadings(), widths.Investigations);
    } catch (...) {
        Abandon();
        throw;
    }
}

TXlsxTable::~TXlsxTable() { Abandon(); }

// A part that fills while the first sheet is written waits, deflated, in a
// file of its own beside the target: a full disk there shows up here, not on
// another file system. Its name goes at once, so no run leaves it behind.
void TXlsxTable::OpenScratch(TScratch& scratch)
{
    scratch.File = OpenScratchBeside(FTarget);
    scratch.Stream = std::make_unique<TDeflateStream>(scratch.File, FShown, TZipWriter::Level);
}

void TXlsxTable::Abandon()
{
    for (TScratch* scratch : {&FSecond, &FShared}) {
        scratch->Stream.reset();
        if (scratch->File) {
            std::fclose(scratch->File);
            scratch->File = nullptr;
        }
    }
    FZip.reset();
    if (!FTemporary.empty()) {
        RemoveFile(FTemporary);
        KeepOnInterrupt();
        FTemporary.clear();
    }
}

void TXlsxTable::StartSheet(TSheet& sheet, bool selected, const std::vector<std::string>& headings,
                            const std::vector<std::uint32_t>& widths)
{
    sheet.Columns = static_cast<std::uint16_t>(headings.size());
    sheet.Xml.reserve(2 * HandSize);
    AppendSheetStart(sheet.Xml, selected, headings, widths);
    NextRow(sheet);
    AppendHeadingCells(sheet.Xml, headings);
    EndRow(sheet);
}

void TXlsxTable::NextRow(TSheet& sheet)
{
    // The export counts the rows before it writes: this holds only when a
    // file grew in between.
    if (sheet.Rows >= MaxRows)
        throw EOutputError("Ein Arbeitsblatt fasst höchstens 1048575 Zeilen; " +
                           FFileName + " führt darüber hinaus. Mit --format csv gibt es keine Grenze.");
    ++sheet.Rows;
    sheet.RowText.clear();
    AppendNumber(sheet.RowText, sheet.Rows);
    sheet.Column = 0;
    sheet.Xml += "<row r=\"";
    sheet.Xml += sheet.RowText;
    sheet.Xml += "\">";
}

// Cells are made with a mark where their reference goes, so that an
// examination's leading cells are made once for all its rows.
void TXlsxTable::PutCells(TSheet& sheet, std::string_view cells)
{
    std::size_t start = 0;
    for (std::size_t mark = 0; mark < cells.size(); ++mark) {
        const char c = cells[mark];
        if (c != ReferenceMark && c != EmptyMark)
            continue;
        sheet.Xml.append(cells, start, mark - start);
        start = mark + 1;
        if (c == EmptyMark) {
            ++sheet.Column;
            continue;
        }
        sheet.Xml += " r=\"";
        sheet.Xml += ColumnNames()[sheet.Column++];
        sheet.Xml += sheet.RowText;
        sheet.Xml += '"';
    }
    sheet.Xml.append(cells, start);
}

void TXlsxTable::EndRow(TSheet& sheet)
{
    sheet.Xml += "</row>";
    Hand(sheet, false);
}

// Every cell carries its reference, which some readers take its column from
// alone; an empty cell is left out (its column's style is the same).
void TXlsxTable::TextCell(std::string& xml, std::string_view text, bool remember, int field)
{
    if (text.empty()) {
        xml += EmptyMark;
        return;
    }
    // The export measures every field before it writes: this holds only when
    // a file changed in between.
    if (text.size() > MaxCellChars)
        throw EOutputError("Die Arbeitsmappe " + FShown + " kann nicht geschrieben werden: Feld " + std::to_string(field) +
                           " in Zeile " + std::to_string(FLine) + " von " + FFileName +
                           " ist länger als die 32767 Zeichen einer Zelle.");
    TStringTable& table = *FStrings;
    std::uint32_t index = 0;
    if (const auto known = table.Index.find(text); known != table.Index.end()) {
        index = known->second;
    } else {
        index = table.Count++;
        FSharedXml += "<si>";
        AppendText(FSharedXml, text, true);
        FSharedXml += "</si>";
        HandStrings(false);
        if (remember || table.Bytes < StringTableBudget) {
            table.Index.emplace(text, index);
            table.Bytes += text.size() + EntryUpkeep;
        }
    }
    xml += "<c\x01 s=\"1\" t=\"s\"><v>";
    AppendNumber(xml, index);
    xml += "</v></c>";
}

void TXlsxTable::NumberCell(std::string& xml, std::int64_t value)
{
    xml += "<c\x01 s=\"3\"><v>";
    AppendNumber(xml, static_cast<std::uint64_t>(value));
    xml += "</v></c>";
}

void TXlsxTable::Hand(TSheet& sheet, bool all)
{
    if (!all && sheet.Xml.size() < HandSize)
        return;
    if (&sheet == &FParameters)
        FZip->Write(sheet.Xml);
    else
        FSecond.Stream->Write(sheet.Xml);
    sheet.Xml.clear();
}

void TXlsxTable::HandStrings(bool all)
{
    if (!all && FSharedXml.size() < HandSize)
        return;
    FShared.Stream->Write(FSharedXml);
    FSharedXml.clear();
}

void TXlsxTable::BeginFile(std::string_view path)
{
    FFileName = BytesToUtf8(path);
    FFileString = FStrings->Count++;
    FSharedXml += "<si>";
    AppendText(FSharedXml, FFileName, false);
    FSharedXml += "</si>";
    HandStrings(false);
}

void TXlsxTable::BeginInvestigation(const TWalkInvestigation& investigation)
{
    FLine = investigation.FirstLine;
    TStringTable& table = *FStrings;
    if (table.Bytes > StringTableBudget) {
        table.Index.clear();
        table.Bytes = 0;
    }
    FLeading = "<c\x01 s=\"1\" t=\"s\"><v>";
    AppendNumber(FLeading, FFileString);
    FLeading += "</v></c>";
    NumberCell(FLeading, investigation.Number);
    NumberCell(FLeading, investigation.FirstLine);
    for (std::size_t i = 0; i < investigation.Master.size(); ++i) {
        FLine = investigation.FirstLine + (i < static_cast<std::size_t>(FieldLayout::Header1.FieldCount) ? 0 : 1);
        TextCell(FLeading, investigation.Master[i], true, static_cast<int>(i) + 1);
    }
}

void TXlsxTable::Parameter(const TWalkInvestigation&, std::int64_t line, const TParameterFields& fields)
{
    FLine = line;
    NextRow(FParameters);
    PutCells(FParameters, FLeading);
    FCells.clear();
    NumberCell(FCells, line);
    for (std::size_t i = 0; i < fields.size(); ++i)
        TextCell(FCells, fields[i], false, FieldLayout::Parameter.FirstField + static_cast<int>(i));
    PutCells(FParameters, FCells);
    EndRow(FParameters);
}

void TXlsxTable::EndInvestigation(const TWalkInvestigation&, std::int64_t parameterCount)
{
    if (parameterCount == 0) {
        NextRow(FParameters);
        PutCells(FParameters, FLeading);
        EndRow(FParameters);
    }
    NextRow(FInvestigations);
    PutCells(FInvestigations, FLeading);
    FCells.clear();
    NumberCell(FCells, parameterCount);
    PutCells(FInvestigations, FCells);
    EndRow(FInvestigations);
}

void TXlsxTable::Commit()
{
    try {
        for (TSheet* sheet : {&FParameters, &FInvestigations}) {
            AppendSheetEnd(sheet->Xml, sheet->Columns, sheet->Rows);
            Hand(*sheet, true);
        }
        FSharedXml += "</sst>";
        HandStrings(true);
        FZip->End();
        for (TScratch* scratch : {&FSecond, &FShared})
            scratch->Stream->Finish();
        FZip->AddPacked("xl/worksheets/sheet2.xml", FSecond.File, *FSecond.Stream);
        FZip->AddPacked("xl/sharedStrings.xml", FShared.File, *FShared.Stream);
        FZip->Add("xl/workbook.xml", Workbook({{"Parameter", FParameters.Rows, FParameters.Columns},
                                               {"Untersuchungen", FInvestigations.Rows, FInvestigations.Columns}}));
        FZip->Finish();
        // What is on the disk counts, not what was meant to go there.
        VerifyWorkbook(FTemporary, {{"xl/worksheets/sheet1.xml", FParameters.Rows},
                                    {"xl/worksheets/sheet2.xml", FInvestigations.Rows}});
        TSystemError why;
        if (!SyncFile(FTemporary, &why) || !MoveIntoPlace(FTemporary, FTarget, &why))
            throw EOutputError(WithReason("Die Arbeitsmappe " + FShown + " kann nicht gespeichert werden.", why));
        // Renamed first, forgotten after: a signal in between finds no file to remove.
        KeepOnInterrupt();
        FTemporary.clear();
    } catch (...) {
        Abandon();
        throw;
    }
}

std::FILE* OpenScratchBeside(const std::string& target)
{
    const std::string name = CreateFileBeside(target);
    std::FILE* file = OpenScratchFile(name);
    const TSystemError why = LastErrno();
    RemoveFile(name);
    if (!file)
        throw EOutputError(WithReason("Die Arbeitsmappe " + BytesToUtf8(target) + " kann nicht geschrieben werden.", why));
    return file;
}
