#pragma once

#include "XlsxTable.h"

#include <cstdint>
#include <string>
#include <vector>

// A workbook of two sheets of styled cells, such as a comparison's. Each sheet
// has a few rows above its table, the table under its heading row (frozen,
// with the autofilter over the table alone and printed on every page), and a
// few rows below. The table's rows come from a source, read twice (for the
// columns' widths, then for the cells), so they need not be in memory. Text
// longer than the widest column wraps. The target is replaced only once the
// file beside it has been read back, as TXlsxTable does. Throws EOutputError
// with a UTF-8 text.
class TStyledWorkbook {
public:
    // The widest column, in characters.
    static constexpr std::uint32_t MaxColumnChars = 60;

    enum class EFill : std::uint8_t { None,
                                      Changed, // yellow
                                      Added, // green
                                      Removed }; // red
    struct TCell {
        std::string Text; // UTF-8; with Number, the digits of an integer
        EFill Fill = EFill::None;
        bool Number = false;
        bool Bold = false; // a label, unfilled
    };
    using TRow = std::vector<TCell>;

    class TRowSource {
    public:
        virtual ~TRowSource() = default;
        // Starts again at the first row.
        virtual void Rewind() = 0;
        // The next row into row; false after the last.
        virtual bool Next(TRow& row) = 0;
    };

    struct TSheet {
        std::string Name;
        std::vector<TRow> Above;
        std::vector<std::string> Headings;
        TRowSource* Rows = nullptr;
        std::uint64_t RowCount = 0; // the rows Rows holds, or would hold
        std::vector<TRow> Below;
        // Printed fitted to the page's width when 0; else at full size, these
        // first columns repeated on every page (and kept in view).
        std::uint16_t TitleColumns = 0;
    };

    // rowLimit: the rows a sheet holds. A sheet of more is refused before
    // anything is written, naming CSV.
    static void Write(const std::string& target, const TSheet& first, const TSheet& second,
                      std::uint64_t rowLimit = TXlsxTable::MaxRows);
};
