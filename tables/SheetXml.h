#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The XML both workbooks share (the export's table and the styled workbook):
// the package's fixed parts, the styles, the workbook part, a sheet's start,
// its heading cells and its end, and cell text.
namespace SheetXml {

// How much XML waits before it is handed to the deflate stream.
inline constexpr std::size_t HandSize = 256 << 10;

// What a byte of cell text asks for: nothing, a character reference, the
// "_xHHHH_" form a workbook reads control characters in (a CR too, which XML
// would turn into LF), a look at what follows ("_"), or conversion (not ASCII).
enum : std::uint8_t { Plain,
                      Markup,
                      Control,
                      Underscore,
                      High };

inline constexpr std::array<std::uint8_t, 256> TextClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (std::size_t b = 0; b < 0x20; ++b)
        classes[b] = b == '\t' || b == '\n' ? Plain : Control;
    classes['&'] = classes['<'] = classes['>'] = Markup;
    classes['_'] = Underscore;
    for (std::size_t b = 0x80; b < 256; ++b)
        classes[b] = High;
    return classes;
}();

inline constexpr std::string_view XmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
inline constexpr std::string_view MainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view RelationNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

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

// Wide enough for a date or a code and for most of the heading (or, where
// the heading wraps, its longest word), never wider than a screen third; the
// autofilter's button takes two characters.
double ColumnWidth(std::string_view heading, std::uint32_t content, bool headingWraps = false);
// "A", "B", ... for the first 256 columns.
const std::vector<std::string>& ColumnNames();
std::string Number(double value);

std::string ContentTypes();
std::string PackageRelations();
std::string WorkbookRelations();
// The cell styles of both workbooks, numbered as SheetXml.cpp lists them.
std::string Styles();
std::string Workbook(const TSheetRange (&sheets)[2]);

// Appends <si> or <t> content with its "preserve" when blanks at its edges must stay.
void AppendText(std::string& xml, std::string_view text, bool cp1252);
// What a sheet holds before its rows: the page set-up, the frozen heading
// row (and title columns) and the columns' widths.
void AppendSheetStart(std::string& xml, bool selected, const std::vector<std::string>& headings,
                      const std::vector<std::uint32_t>& widths, const TSheetRange& range = {"", 0, 0});
// The heading cells; they stand inline, each is there once.
void AppendHeadingCells(std::string& xml, const std::vector<std::string>& headings, std::uint32_t row = 1, int style = 2);
// What a sheet holds after its rows: the autofilter over the table and the
// printing, landscape on A4, as wide as the page and as long as it takes, or
// at full size across pages.
void AppendSheetEnd(std::string& xml, std::size_t columns, std::uint32_t rows, const TSheetRange& range = {"", 0, 0});

} // namespace SheetXml
