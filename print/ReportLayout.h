#pragma once

#include <QFont>
#include <QSizeF>

#include <memory>
#include <vector>

#include "Report.h"

class QPainter;
class QPaintDevice;

// Lays a report out on pages and paints them. Every page carries the report's
// title, the date it was printed, its section's heading and "Seite X von Y";
// a table's heading rows stand again at the top of every page it runs on.
// A table's columns take their widths from what they hold, within the page.
// Long texts wrap, within their cell, at a blank or hyphen, and a word wider
// than its cell anywhere; a row taller than a page goes on over the next:
// nothing is cut.
// Text is drawn as text, so that a PDF of it can be searched and copied.
class TReportLayout {
public:
    // page: the printable area in the device's units; the device gives the
    // fonts their resolution.
    TReportLayout(TReport report, const QPaintDevice* device, QSizeF page);
    ~TReportLayout();
    TReportLayout(const TReportLayout&) = delete;
    TReportLayout& operator=(const TReportLayout&) = delete;

    // Lays every section out once, on first use.
    int PageCount();
    // Paints page (from 0) onto a painter of a device like the one given.
    void PaintPage(QPainter& painter, int page);

    // What a section's pages are built from, in device units: the height left
    // for blocks and rows below its heading, the table's heading rows, and a
    // row of one line.
    struct TTableFigures {
        double Body = 0;
        double TableHead = 0;
        double Row = 0;
    };
    TTableFigures TableFigures(int section);

private:
    struct TStyle;
    struct TItem;
    struct TSectionPages;

    std::unique_ptr<TSectionPages> LayOut(int section);
    void Paginate(TSectionPages& pages) const;
    void AddTable(TSectionPages& pages, const TReportTable& table) const;
    // The table's column widths, from its headings and a sample of its rows,
    // filling the page; cells: the width of each measured row's values,
    // [column][row], with the cell's margin.
    std::vector<double> ColumnWidths(const TReportTable& table, std::vector<std::vector<double>>& cells) const;
    void PaintItem(QPainter& painter, const TSectionPages& pages, const TItem& item, int first, int count, double y) const;
    const TSectionPages& SectionPages(int section);

    TReport FReport;
    const QPaintDevice* FDevice;
    QSizeF FPage;
    std::unique_ptr<TStyle> FStyle;
    // Where each section's pages begin; filled by PageCount().
    std::vector<int> FFirstPage;
    int FPageCount = -1;
    std::unique_ptr<TSectionPages> FCached;
    int FCachedSection = -1;
};
