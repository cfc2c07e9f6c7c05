#include "XlsxTable.h"

#include "ExportTable.h"
#include "InterruptCleanup.h"
#include "JsonWriter.h"
#include "OutputFile.h"
#include "SystemErrorText.h"

#include "ZipWriter.h"

#include "Cp1252.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>

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

constexpr int TextStyle = 1;
constexpr int HeadingStyle = 2;
constexpr std::size_t HandSize = 256 << 10;
constexpr std::size_t MaxCellChars = 32767;

// What a byte of cell text asks for: nothing, a character reference, the
// "_xHHHH_" form a workbook reads control characters in (a CR too, which XML
// would turn into LF), a look at what follows ("_"), or conversion (not ASCII).
enum : std::uint8_t { Plain,
                      Markup,
                      Control,
                      Underscore,
                      High };

constexpr std::array<std::uint8_t, 256> TextClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (std::size_t b = 0; b < 0x20; ++b)
        classes[b] = b == '\t' || b == '\n' ? Plain : Control;
    classes['&'] = classes['<'] = classes['>'] = Markup;
    classes['_'] = Underscore;
    for (std::size_t b = 0x80; b < 256; ++b)
        classes[b] = High;
    return classes;
}();

// Appends text as the content of an inline string: XML-escaped, and
// Windows-1252 converted to UTF-8 when cp1252. Text that holds "_xHHHH_"
// literally gets its "_" written as "_x005F_", so it comes back unchanged.
void AppendCellText(std::string& out, std::string_view text, bool cp1252)
{
    static const char Hex[] = "0123456789ABCDEF";
    const std::array<TUtf8Sequence, 256>& utf8 = Cp1252Utf8Table();
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::uint8_t cls = TextClasses[b];
        if (cls == Plain || (cls == High && !cp1252))
            continue;
        if (cls == Underscore && !(i + 7 <= text.size() && text[i + 1] == 'x' && text[i + 6] == '_' &&
                                   std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i + 2),
                                               text.begin() + static_cast<std::ptrdiff_t>(i + 6), IsHexDigit)))
            continue;
        out.append(text, start, i - start);
        start = i + 1;
        switch (cls) {
        case High:
            out.append(utf8[b].Bytes, utf8[b].Size);
            break;
        case Markup:
            out += b == '&' ? "&amp;" : b == '<' ? "&lt;"
                                                 : "&gt;";
            break;
        case Underscore:
            out += "_x005F_";
            break;
        default:
            out += "_x00";
            out += Hex[b >> 4];
            out += Hex[b & 15];
            out += '_';
        }
    }
    out.append(text, start);
}

std::size_t CharCount(std::string_view text, bool cp1252)
{
    if (cp1252)
        return text.size();
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// "A", ..., "Z", "AA", ...
std::string ColumnName(unsigned column)
{
    std::string name;
    for (unsigned c = column + 1; c > 0; c = (c - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    return name;
}

const std::vector<std::string>& ColumnNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (unsigned c = 0; c < 256; ++c)
            n.push_back(ColumnName(c));
        return n;
    }();
    return names;
}

std::string Number(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

constexpr std::string_view XmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr std::string_view MainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view RelationNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string ContentTypes()
{
    const std::string sheet = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
    return std::string(XmlDeclaration) +
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
           "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" +
           sheet + "\"/><Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"" + sheet +
           "\"/><Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
           "</Types>";
}

std::string PackageRelations()
{
    return std::string(XmlDeclaration) +
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           std::string(RelationNamespace) + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
}

std::string WorkbookRelations()
{
    const std::string type = std::string(RelationNamespace) + "/";
    return std::string(XmlDeclaration) +
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           type + "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + type +
           "worksheet\" Target=\"worksheets/sheet2.xml\"/><Relationship Id=\"rId3\" Type=\"" + type +
           "styles\" Target=\"styles.xml\"/></Relationships>";
}

// Style 1: text ("@": typing into a cell keeps text as text too); 2: the
// same, bold, for the headings.
std::string Styles()
{
    const std::string font = "<sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>";
    return std::string(XmlDeclaration) + "<styleSheet xmlns=\"" + std::string(MainNamespace) +
           "\"><fonts count=\"2\"><font>" + font + "<font><b/>" + font +
           "</fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
           "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
           "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
           "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
           "<xf numFmtId=\"49\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFont=\"1\"/>"
           "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
           "<dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>";
}

struct TSheetRange {
    const char* Name;
    std::uint32_t Rows;
    std::uint16_t Columns;
};

std::string Workbook(const TSheetRange (&sheets)[2])
{
    std::string xml = std::string(XmlDeclaration) + "<workbook xmlns=\"" + std::string(MainNamespace) + "\" xmlns:r=\"" +
                      std::string(RelationNamespace) + "\"><bookViews><workbookView/></bookViews><sheets>";
    for (int i = 0; i < 2; ++i)
        xml += "<sheet name=\"" + std::string(sheets[i].Name) + "\" sheetId=\"" + std::to_string(i + 1) +
               "\" r:id=\"rId" + std::to_string(i + 1) + "\"/>";
    xml += "</sheets><definedNames>";
    // The autofilter's range, as spreadsheets keep it.
    for (int i = 0; i < 2; ++i)
        xml += "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"" + std::to_string(i) + "\" hidden=\"1\">" +
               sheets[i].Name + "!$A$1:$" + ColumnNames()[sheets[i].Columns - 1u] + "$" + std::to_string(sheets[i].Rows) +
               "</definedName>";
    return xml + "</definedNames></workbook>";
}

} // namespace

TXlsxTable::TXlsxTable(const std::string& target)
    : FTarget(target),
      FShown(BytesToUtf8(target))
{
    // A signal waits until the file is registered and the second sheet's
    // file, made under a name of its own, has lost that name again.
    const TInterruptHold hold;
    FTemporary = CreateFileBeside(target);
    RemoveOnInterrupt(FTemporary);
    try {
        FZip = std::make_unique<TZipWriter>(FTemporary, FShown);
        // The second sheet waits, deflated, in a file of its own beside the
        // target: a full disk there shows up here, not on another file
        // system. Its name goes at once, so no run leaves it behind.
        const std::string second = CreateFileBeside(target);
        FSecondFile = OpenScratchFile(second);
        const TSystemError why = LastErrno();
        RemoveFile(second);
        if (!FSecondFile)
            throw EOutputError(WithReason("Die Arbeitsmappe " + FShown + " kann nicht geschrieben werden.", why));
        FSecond = std::make_unique<TDeflateStream>(FSecondFile, FShown, TZipWriter::Level);
        FZip->Add("[Content_Types].xml", ContentTypes());
        FZip->Add("_rels/.rels", PackageRelations());
        FZip->Add("xl/_rels/workbook.xml.rels", WorkbookRelations());
        FZip->Add("xl/styles.xml", Styles());
        FZip->Begin("xl/worksheets/sheet1.xml");
        StartSheet(FParameters, true, ParameterTableHeadings());
        StartSheet(FInvestigations, false, InvestigationTableHeadings());
    } catch (...) {
        Abandon();
        throw;
    }
}

TXlsxTable::~TXlsxTable() { Abandon(); }

void TXlsxTable::Abandon()
{
    FSecond.reset();
    if (FSecondFile) {
        std::fclose(FSecondFile);
        FSecondFile = nullptr;
    }
    FZip.reset();
    if (!FTemporary.empty()) {
        RemoveFile(FTemporary);
        KeepOnInterrupt();
        FTemporary.clear();
    }
}

void TXlsxTable::StartSheet(TSheet& sheet, bool selected, const std::vector<std::string>& headings)
{
    sheet.Columns = static_cast<std::uint16_t>(headings.size());
    std::string& xml = sheet.Xml;
    xml.reserve(2 * HandSize);
    xml.append(XmlDeclaration).append("<worksheet xmlns=\"").append(MainNamespace);
    xml.append("\" xmlns:r=\"").append(RelationNamespace).append("\"><sheetViews><sheetView ");
    if (selected)
        xml += "tabSelected=\"1\" ";
    // The heading row stays in view.
    xml += "workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"
           "<selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/></sheetView></sheetViews>"
           "<sheetFormatPr defaultRowHeight=\"15\"/><cols>";
    for (std::uint16_t col = 0; col < sheet.Columns; ++col) {
        const std::string n = std::to_string(col + 1);
        xml += "<col min=\"" + n + "\" max=\"" + n + "\" width=\"" + Number(ColumnWidth(headings[col]) + 0.7109375) +
               "\" style=\"1\" customWidth=\"1\"/>";
    }
    xml += "</cols><sheetData>";
    NextRow(sheet);
    for (const std::string& heading : headings)
        Cell(sheet, heading, false, HeadingStyle);
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
    sheet.Column = 0;
    sheet.Xml += "<row r=\"";
    sheet.Xml += std::to_string(sheet.Rows);
    sheet.Xml += "\">";
}

void TXlsxTable::EndRow(TSheet& sheet)
{
    sheet.Xml += "</row>";
    Hand(sheet, false);
}

void TXlsxTable::Cell(TSheet& sheet, std::string_view text, bool cp1252, int style)
{
    const std::uint16_t column = sheet.Column++;
    // An empty cell is left out: its column gives it the text style.
    if (text.empty())
        return;
    if (text.size() > MaxCellChars && CharCount(text, cp1252) > MaxCellChars)
        throw EOutputError("Die Arbeitsmappe " + FShown + " kann nicht geschrieben werden: ein Feld in Zeile " +
                           std::to_string(FLine) + " von " + FFileName +
                           " ist länger als die 32767 Zeichen einer Zelle.");
    std::string& xml = sheet.Xml;
    xml += "<c r=\"";
    xml += ColumnNames()[column];
    xml += std::to_string(sheet.Rows);
    xml += style == HeadingStyle ? "\" s=\"2\" t=\"inlineStr\"><is><t" : "\" s=\"1\" t=\"inlineStr\"><is><t";
    if (IsBlank(text.front()) || IsBlank(text.back()))
        xml += " xml:space=\"preserve\"";
    xml += '>';
    AppendCellText(xml, text, cp1252);
    xml += "</t></is></c>";
}

void TXlsxTable::Hand(TSheet& sheet, bool all)
{
    if (!all && sheet.Xml.size() < HandSize)
        return;
    if (&sheet == &FParameters)
        FZip->Write(sheet.Xml);
    else
        FSecond->Write(sheet.Xml);
    sheet.Xml.clear();
}

void TXlsxTable::LeadingCells(TSheet& sheet, const TWalkInvestigation& investigation)
{
    NextRow(sheet);
    Cell(sheet, FFileName, false, TextStyle);
    Cell(sheet, std::to_string(investigation.Number), false, TextStyle);
    Cell(sheet, std::to_string(investigation.FirstLine), false, TextStyle);
    for (const std::string_view field : investigation.Master)
        Cell(sheet, field, true, TextStyle);
}

void TXlsxTable::BeginFile(std::string_view path) { FFileName = BytesToUtf8(path); }

void TXlsxTable::BeginInvestigation(const TWalkInvestigation& investigation) { FLine = investigation.FirstLine; }

void TXlsxTable::Parameter(const TWalkInvestigation& investigation, std::int64_t line, const TParameterFields& fields)
{
    FLine = line;
    LeadingCells(FParameters, investigation);
    Cell(FParameters, std::to_string(line), false, TextStyle);
    for (const std::string_view field : fields)
        Cell(FParameters, field, true, TextStyle);
    EndRow(FParameters);
}

void TXlsxTable::EndInvestigation(const TWalkInvestigation& investigation, std::int64_t parameterCount)
{
    FLine = investigation.FirstLine;
    if (parameterCount == 0) {
        LeadingCells(FParameters, investigation);
        EndRow(FParameters);
    }
    LeadingCells(FInvestigations, investigation);
    Cell(FInvestigations, std::to_string(parameterCount), false, TextStyle);
    EndRow(FInvestigations);
}

void TXlsxTable::Commit()
{
    try {
        for (TSheet* sheet : {&FParameters, &FInvestigations}) {
            sheet->Xml += "</sheetData><autoFilter ref=\"A1:" + ColumnNames()[sheet->Columns - 1u] +
                          std::to_string(sheet->Rows) +
                          "\"/><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
                          "footer=\"0.3\"/></worksheet>";
            Hand(*sheet, true);
        }
        FZip->End();
        FSecond->Finish();
        FZip->AddPacked("xl/worksheets/sheet2.xml", FSecondFile, *FSecond);
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
