#include "SheetXml.h"

#include "AsciiText.h"
#include "Cp1252.h"

#include <algorithm>
#include <charconv>

namespace SheetXml {

namespace {

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

} // namespace

double ColumnWidth(std::string_view heading, std::uint32_t content, bool headingWraps)
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

void AppendText(std::string& xml, std::string_view text, bool cp1252)
{
    xml += !text.empty() && (IsBlank(text.front()) || IsBlank(text.back())) ? "<t xml:space=\"preserve\">" : "<t>";
    AppendCellText(xml, text, cp1252);
    xml += "</t>";
}

void AppendSheetStart(std::string& xml, bool selected, const std::vector<std::string>& headings,
                      const std::vector<std::uint32_t>& widths, const TSheetRange& range)
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

void AppendHeadingCells(std::string& xml, const std::vector<std::string>& headings, std::uint32_t row, int style)
{
    for (std::size_t col = 0; col < headings.size(); ++col) {
        xml += "<c r=\"" + ColumnNames()[col] + std::to_string(row) + "\" s=\"" + std::to_string(style) + "\" t=\"inlineStr\"><is>";
        AppendText(xml, headings[col], false);
        xml += "</is></c>";
    }
}

void AppendSheetEnd(std::string& xml, std::size_t columns, std::uint32_t rows, const TSheetRange& range)
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

} // namespace SheetXml
