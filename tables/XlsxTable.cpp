#include "XlsxTable.h"

#include "InterruptCleanup.h"
#include "JsonWriter.h"
#include "Output.h"
#include "OutputFile.h"
#include "SystemErrorText.h"
#include "TableHeadings.h"

#include "ZipWriter.h"

#include "AsciiText.h"
#include "Cp1252.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>
#include <unordered_map>

namespace {

// Wide enough for a date or a code and for most of the heading (or, where
// the heading wraps, its longest word), never wider than a screen third; the
// autofilter's button takes two characters.
double ColumnWidth(std::string_view heading, std::uint32_t content, bool headingWraps = false)
{
    std::size_t chars = 0, word = 0, longest = 0;
    for (const char c : heading) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80)
            continue;
        ++chars;
        word = c == ' ' ? 0 : word + 1;
        longest = std::max(longest, word);
    }
    const std::size_t wanted = headingWraps ? longest : std::min<std::size_t>(chars, 16);
    return static_cast<double>(std::clamp<std::size_t>(std::max<std::size_t>(wanted, content) + 2, headingWraps ? 6 : 8, 60));
}

constexpr std::size_t HandSize = 256 << 10;
// Where a cell's reference goes in cells made ahead of their row, and an
// empty cell, which is left out; cell text never holds either (control
// characters are written as "_xHHHH_").
constexpr char ReferenceMark = '\x01';
constexpr char EmptyMark = '\x02';
// What the table of shared strings may hold beyond the current examination's
// master data (which it always keeps), its entries' upkeep counted.
constexpr std::size_t StringTableBudget = 1 << 20;
constexpr std::size_t EntryUpkeep = 96;

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
                                               text.begin() + static_cast<std::ptrdiff_t>(i + 6),
                                               [](char c) { return AsciiText::HexDigit(c) >= 0; })))
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
           "\"/><Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
           "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
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
           "styles\" Target=\"styles.xml\"/><Relationship Id=\"rId4\" Type=\"" + type +
           "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
}

// Style 1: text ("@": typing into a cell keeps text as text too); 2: the
// same, bold, for the headings; 3: a number as it is; 4 to 6: text filled
// yellow, green and red, for what changed, came and went. From 7 on, the
// styled workbook's, at the top of their cell (rows grow where text wraps):
// text, number (centred, apart from the text beside it) and wrapped text,
// each unfilled, yellow, green and red
// (StyleOf), then a bold label and a bold heading that wraps.
std::string Styles()
{
    std::string styled;
    for (int kind = 0; kind < 3; ++kind) {
        for (int fill = 0; fill < 4; ++fill)
            styled += std::string("<xf numFmtId=\"") + (kind == 1 ? "1" : "49") + "\" fontId=\"0\" fillId=\"" +
                      std::to_string(fill == 0 ? 0 : fill + 1) +
                      "\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFill=\"1\" applyAlignment=\"1\">"
                      "<alignment vertical=\"top\"" +
                      (kind == 2 ? " wrapText=\"1\"" : kind == 1 ? " horizontal=\"center\""
                                                                 : "") +
                      "/></xf>";
    }
    styled += "<xf numFmtId=\"49\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" "
              "applyFont=\"1\" applyAlignment=\"1\"><alignment vertical=\"top\"/></xf>"
              "<xf numFmtId=\"49\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" "
              "applyFont=\"1\" applyAlignment=\"1\"><alignment vertical=\"top\" wrapText=\"1\"/></xf>";
    const std::string font = "<sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>";
    return std::string(XmlDeclaration) + "<styleSheet xmlns=\"" + std::string(MainNamespace) +
           "\"><fonts count=\"2\"><font>" + font + "<font><b/>" + font +
           "</fonts><fills count=\"5\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill>"
           "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFEB9C\"/><bgColor indexed=\"64\"/></patternFill></fill>"
           "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFC6EFCE\"/><bgColor indexed=\"64\"/></patternFill></fill>"
           "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFC7CE\"/><bgColor indexed=\"64\"/></patternFill></fill></fills>"
           "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
           "<cellXfs count=\"21\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
           "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
           "<xf numFmtId=\"49\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFont=\"1\"/>"
           "<xf numFmtId=\"1\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
           "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFill=\"1\"/>"
           "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"3\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFill=\"1\"/>"
           "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"4\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFill=\"1\"/>" +
           styled + "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
                    "<dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>";
}

// Where a sheet's table stands and how it prints: its heading row, its last
// row and columns; printed fitted to the page's width, or at full size with
// its first TitleColumns columns on every page.
struct TSheetRange {
    const char* Name;
    std::uint32_t Rows;
    std::uint16_t Columns;
    std::uint32_t HeadingRow = 1;
    std::uint16_t TitleColumns = 0;
    bool HeadingWraps = false;
};

std::string Workbook(const TSheetRange (&sheets)[2])
{
    std::string xml = std::string(XmlDeclaration) + "<workbook xmlns=\"" + std::string(MainNamespace) + "\" xmlns:r=\"" +
                      std::string(RelationNamespace) + "\"><bookViews><workbookView/></bookViews><sheets>";
    for (int i = 0; i < 2; ++i)
        xml += "<sheet name=\"" + std::string(sheets[i].Name) + "\" sheetId=\"" + std::to_string(i + 1) +
               "\" r:id=\"rId" + std::to_string(i + 1) + "\"/>";
    xml += "</sheets><definedNames>";
    // The autofilter's range, as spreadsheets keep it, and the heading row
    // printed on every page.
    for (int i = 0; i < 2; ++i) {
        const TSheetRange& range = sheets[i];
        const std::string sheet = "\" localSheetId=\"" + std::to_string(i) + "\"";
        const std::string heading = std::to_string(range.HeadingRow);
        xml += "<definedName name=\"_xlnm._FilterDatabase" + sheet + " hidden=\"1\">" + range.Name + "!$A$" + heading +
               ":$" + ColumnNames()[range.Columns - 1u] + "$" + std::to_string(range.Rows) + "</definedName>";
        xml += "<definedName name=\"_xlnm.Print_Titles" + sheet + ">";
        if (range.TitleColumns > 0)
            xml += std::string(range.Name) + "!$A:$" + ColumnNames()[range.TitleColumns - 1u] + ",";
        xml += std::string(range.Name) + "!$" + heading + ":$" + heading + "</definedName>";
    }
    return xml + "</definedNames></workbook>";
}

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

// Appends <si> or <t> content with its "preserve" when blanks at its edges must stay.
void AppendText(std::string& xml, std::string_view text, bool cp1252)
{
    xml += !text.empty() && (IsBlank(text.front()) || IsBlank(text.back())) ? "<t xml:space=\"preserve\">" : "<t>";
    AppendCellText(xml, text, cp1252);
    xml += "</t>";
}

void AppendNumber(std::string& xml, std::uint64_t value)
{
    char digits[24];
    xml.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// What a sheet holds before its rows: the page set-up, the frozen heading
// row (and title columns) and the columns' widths.
void AppendSheetStart(std::string& xml, bool selected, const std::vector<std::string>& headings,
                      const std::vector<std::uint32_t>& widths, const TSheetRange& range = {"", 0, 0})
{
    xml.append(XmlDeclaration).append("<worksheet xmlns=\"").append(MainNamespace);
    xml.append("\" xmlns:r=\"").append(RelationNamespace).append("\">");
    if (range.TitleColumns == 0) // printed fitted to the page's width
        xml += "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>";
    xml += "<sheetViews><sheetView ";
    if (selected)
        xml += "tabSelected=\"1\" ";
    // The heading row and the title columns stay in view.
    const std::string first = ColumnNames()[range.TitleColumns] + std::to_string(range.HeadingRow + 1);
    xml += "workbookViewId=\"0\"><pane ";
    if (range.TitleColumns > 0)
        xml += "xSplit=\"" + std::to_string(range.TitleColumns) + "\" ";
    const char* pane = range.TitleColumns > 0 ? "bottomRight" : "bottomLeft";
    xml += "ySplit=\"" + std::to_string(range.HeadingRow) + "\" topLeftCell=\"" + first + "\" activePane=\"" + pane +
           "\" state=\"frozen\"/><selection pane=\"" + pane + "\" activeCell=\"" + first + "\" sqref=\"" + first +
           "\"/></sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/><cols>";
    for (std::size_t col = 0; col < headings.size(); ++col) {
        const std::string n = std::to_string(col + 1);
        const std::uint32_t content = col < widths.size() ? widths[col] : 0;
        xml += "<col min=\"" + n + "\" max=\"" + n + "\" width=\"" +
               Number(ColumnWidth(headings[col], content, range.HeadingWraps) + 0.7109375) + "\" style=\"1\" customWidth=\"1\"/>";
    }
    xml += "</cols><sheetData>";
}

// The heading cells; they stand inline, each is there once.
void AppendHeadingCells(std::string& xml, const std::vector<std::string>& headings, std::uint32_t row = 1, int style = 2)
{
    for (std::size_t col = 0; col < headings.size(); ++col) {
        xml += "<c r=\"" + ColumnNames()[col] + std::to_string(row) + "\" s=\"" + std::to_string(style) + "\" t=\"inlineStr\"><is>";
        AppendText(xml, headings[col], false);
        xml += "</is></c>";
    }
}

// What a sheet holds after its rows: the autofilter over the table and the
// printing, landscape on A4, as wide as the page and as long as it takes, or
// at full size across pages.
void AppendSheetEnd(std::string& xml, std::size_t columns, std::uint32_t rows, const TSheetRange& range = {"", 0, 0})
{
    xml += "</sheetData><autoFilter ref=\"A" + std::to_string(range.HeadingRow) + ":" + ColumnNames()[columns - 1u] +
           std::to_string(rows) + "\"/>";
    // A table printed at full size across pages keeps its rows apart by lines.
    if (range.TitleColumns > 0)
        xml += "<printOptions gridLines=\"1\"/>";
    xml += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
           "footer=\"0.3\"/><pageSetup paperSize=\"9\" orientation=\"landscape\"";
    xml += range.TitleColumns == 0 ? " fitToWidth=\"1\" fitToHeight=\"0\"/>" : "/>";
    // Page numbers, so that loose pages go back in order.
    xml += "<headerFooter><oddFooter>&amp;L&amp;A&amp;RSeite &amp;P von &amp;N</oddFooter></headerFooter></worksheet>";
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
