#include "ReportLayout.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

#include "ReportWrap.h"

namespace {

// Sums of heights may differ from a product by rounding; a row that fits
// exactly must not move to the next page for that.
constexpr double Slack = 1e-6;
// A field's caption takes this share of the width, its value the rest.
constexpr double CaptionShare = 0.3;
// A table's widths are measured on this many rows at most, spread over it,
// so that a table of millions of rows costs no pass of its own.
constexpr int MeasuredRows = 1000;
// About as many one-line rows as a page holds: how often a table's heading rows stand.
constexpr double RowsPerPage = 40;
// The lines of the widths tried are estimated on this many of the measured rows.
constexpr std::size_t OptimisedRows = 200;

QFont ReportFont(double points, bool bold)
{
    QFont font;
    // Faces with the Windows-1252 characters (euro, quotes, micro, degree)
    // that embed as text; the first one present wins.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Device-independent advances, so that the lines measured are the lines drawn.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

TAdvance Advance(const QFont& font, const QPaintDevice* device)
{
    return [metrics = QFontMetricsF(font, device)](QStringView text) { return metrics.horizontalAdvance(text.toString()); };
}

QStringList Wrap(const QString& text, const QFont& font, const QPaintDevice* device, double width)
{
    return WrapReportText(text, width, Advance(font, device));
}

// The widths between low and high (each low <= high) that sum to width when
// sum(low) <= width <= sum(high): every column as wide as high up to one
// common limit, so that narrow columns are not broken for the wide ones.
std::vector<double> FillUpTo(const std::vector<double>& low, const std::vector<double>& high, double width)
{
    auto sum = [&](double limit) {
        double total = 0;
        for (std::size_t c = 0; c < low.size(); ++c)
            total += std::clamp(limit, low[c], high[c]);
        return total;
    };
    double from = 0;
    double to = *std::max_element(high.begin(), high.end());
    for (int step = 0; step < 60; ++step) {
        const double middle = (from + to) / 2;
        (sum(middle) <= width ? from : to) = middle;
    }
    std::vector<double> widths(low.size());
    for (std::size_t c = 0; c < low.size(); ++c)
        widths[c] = std::clamp(from, low[c], high[c]);
    return widths;
}

// The widest of the text's lines, as it stands.
double WidestLine(const QString& text, const TAdvance& advance)
{
    double widest = 0;
    for (const QStringView line : QStringView(text).split(u'\n'))
        widest = std::max(widest, advance(line));
    return widest;
}

double Sum(const std::vector<double>& values) { return std::accumulate(values.begin(), values.end(), 0.0); }

// Widens columns while the page has room, each step the widening that
// spares the most printed lines for its width, estimated on a sample of the
// rows: a value takes as many lines as its width needs, a row as many as
// its tallest value (and a little for each other value that wraps, so that
// widening one of two wrapping columns counts too); a heading line counts
// headWeight rows, as the heading rows stand on every page. The steps tried
// for a column: the widths that put one of its values on one, two or three
// lines, and its headings on one line each. cells: [column][row], the cell's
// margin included; headLines: a column's heading lines at a width.
void SpareLines(std::vector<double>& widths, const std::vector<std::vector<double>>& cells, double margin,
                const std::function<int(std::size_t column, double width)>& headLines, double headWeight,
                const std::vector<double>& headWide, const std::vector<double>& most, double width)
{
    constexpr double OtherLines = 0.25;
    // A few dozen steps a column are enough to find the good ones.
    constexpr std::size_t Steps = 32;
    const std::size_t columns = widths.size();
    const std::size_t measured = cells.empty() ? 0 : cells.front().size();
    const std::size_t step = std::max<std::size_t>(1, measured / OptimisedRows);
    const std::size_t rows = measured / step;
    auto parts = [margin](double cell, double w) {
        return cell <= w ? 1.0 : std::ceil((cell - margin) / std::max(w - margin, 1.0));
    };

    std::vector<std::vector<double>> steps(columns);
    std::vector<std::vector<int>> headAt(columns);
    std::vector<std::vector<double>> now(columns, std::vector<double>(rows));
    std::vector<int> headNow(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        std::vector<double>& candidates = steps[c];
        candidates.push_back(headWide[c]);
        for (std::size_t r = 0; r < rows; ++r)
            for (int n = 1; n <= 3; ++n)
                candidates.push_back((cells[c][r * step] - margin) / n + margin);
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        candidates.erase(std::remove_if(candidates.begin(), candidates.end(), [&](double w) { return w <= widths[c] || w > most[c]; }),
                         candidates.end());
        if (candidates.size() > Steps) {
            std::vector<double> kept;
            for (std::size_t k = 1; k <= Steps; ++k)
                kept.push_back(candidates[k * candidates.size() / Steps - 1]);
            candidates = kept;
        }
        // Once as wide as its widest heading line, a column's headings take
        // their fewest lines: only narrower steps need wrapping.
        const int fewest = headLines(c, std::max(widths[c], headWide[c]));
        for (const double w : candidates)
            headAt[c].push_back(w >= headWide[c] ? fewest : headLines(c, w));
        headNow[c] = widths[c] >= headWide[c] ? fewest : headLines(c, widths[c]);
        for (std::size_t r = 0; r < rows; ++r)
            now[c][r] = parts(cells[c][r * step], widths[c]);
    }

    double spare = width - Sum(widths);
    std::vector<double> top(rows), second(rows);
    std::vector<std::size_t> topColumn(rows);
    for (;;) {
        for (std::size_t r = 0; r < rows; ++r) {
            top[r] = second[r] = 1;
            topColumn[r] = columns;
            for (std::size_t c = 0; c < columns; ++c) {
                if (now[c][r] > top[r]) {
                    second[r] = top[r];
                    top[r] = now[c][r];
                    topColumn[r] = c;
                } else {
                    second[r] = std::max(second[r], now[c][r]);
                }
            }
        }
        double bestGain = 0;
        std::size_t bestColumn = 0;
        std::size_t bestStep = 0;
        for (std::size_t c = 0; c < columns; ++c) {
            for (std::size_t k = 0; k < steps[c].size(); ++k) {
                const double w = steps[c][k];
                if (w <= widths[c])
                    continue;
                if (w - widths[c] > spare)
                    break;
                double spared = headWeight * (headNow[c] - headAt[c][k]);
                for (std::size_t r = 0; r < rows; ++r) {
                    const double after = parts(cells[c][r * step], w);
                    const double others = topColumn[r] == c ? second[r] : top[r];
                    spared += top[r] - std::max(after, others) + OtherLines * (now[c][r] - after);
                }
                const double gain = spared / (w - widths[c]);
                if (gain > bestGain) {
                    bestGain = gain;
                    bestColumn = c;
                    bestStep = k;
                }
            }
        }
        if (bestGain <= 0)
            return;
        const double w = steps[bestColumn][bestStep];
        spare -= w - widths[bestColumn];
        widths[bestColumn] = w;
        headNow[bestColumn] = headAt[bestColumn][bestStep];
        for (std::size_t r = 0; r < rows; ++r)
            now[bestColumn][r] = parts(cells[bestColumn][r * step], w);
    }
}

} // namespace

// Fonts and measures, in device units, shared by every page.
struct TReportLayout::TStyle {
    QFont Title = ReportFont(13, true);
    QFont Body = ReportFont(9, false);
    QFont Bold = ReportFont(9, true);
    QFont Table = ReportFont(8, false);
    QFont TableBold = ReportFont(8, true);
    double Mm = 0;
    double Gap = 0;
    double Rule = 0;
};

// One band of a page: a block's title, a field, a line, a table row. Each
// cell holds its wrapped lines; the item is as tall as its longest cell.
struct TReportLayout::TItem {
    enum EKind { Band,
                 Field,
                 Line,
                 TableHead,
                 TableRow } Kind = Line;
    std::vector<QStringList> Cells;
    QColor Fill;
    QColor Ink;
    int Lines = 1;
    // Height that must follow on the same page (a title keeps its first row).
    double KeepWith = 0;
};

struct TReportLayout::TSectionPages {
    QStringList Heading; // wrapped
    double Top = 0; // where the body begins
    double Bottom = 0;
    std::vector<TItem> Items;
    std::vector<double> ColumnX; // the table's cells: left edges, and the right edge
    int TableHead = -1;
    struct TSlice {
        int Item;
        int First;
        int Count;
        double Y;
    };
    std::vector<std::vector<TSlice>> Pages;

    // The font, line height and padding of an item's kind.
    const QFont& Font(const TStyle& style, const TItem& item) const
    {
        switch (item.Kind) {
        case TItem::Band:
            return style.Bold;
        case TItem::TableHead:
            return style.TableBold;
        case TItem::TableRow:
            return style.Table;
        default:
            return style.Body;
        }
    }
};

namespace {

double LineHeight(const QFont& font, const QPaintDevice* device) { return QFontMetricsF(font, device).lineSpacing(); }

} // namespace

TReportLayout::TReportLayout(TReport report, const QPaintDevice* device, QSizeF page)
    : FReport(std::move(report)),
      FDevice(device),
      FPage(page),
      FStyle(std::make_unique<TStyle>())
{
    FStyle->Mm = device->logicalDpiX() / 25.4;
    FStyle->Gap = 2 * FStyle->Mm;
    FStyle->Rule = std::max(1.0, 0.2 * FStyle->Mm);
}

TReportLayout::~TReportLayout() = default;

namespace {

// Padding above and below the lines of an item.
double Padding(double line) { return 0.15 * line; }

double ItemHeight(int lines, double line) { return lines * line + 2 * Padding(line); }

} // namespace

std::unique_ptr<TReportLayout::TSectionPages> TReportLayout::LayOut(int index)
{
    const TReportSection section = FReport.Section(index);
    auto pages = std::make_unique<TSectionPages>();
    const TStyle& style = *FStyle;
    const double width = FPage.width();

    for (const QString& line : section.Heading)
        pages->Heading += Wrap(line, style.Body, FDevice, width);
    pages->Top = LineHeight(style.Title, FDevice) + pages->Heading.size() * LineHeight(style.Body, FDevice) + style.Gap;
    pages->Bottom = FPage.height() - LineHeight(style.Body, FDevice) - style.Gap;

    const double bodyLine = LineHeight(style.Body, FDevice);
    const double pad = Padding(bodyLine);
    const double captionWidth = CaptionShare * width;
    auto band = [&](const QString& title, const QColor& fill, const QColor& ink) {
        TItem item;
        item.Kind = TItem::Band;
        item.Cells = {Wrap(title, style.Bold, FDevice, width - 2 * pad)};
        item.Lines = static_cast<int>(item.Cells[0].size());
        item.Fill = fill;
        item.Ink = ink;
        item.KeepWith = ItemHeight(1, bodyLine);
        pages->Items.push_back(std::move(item));
    };
    for (const TReportBlock& block : section.Blocks) {
        band(block.Title, block.Colour, block.TitleColour);
        for (const QString& line : block.Lines) {
            TItem item;
            item.Cells = {Wrap(line, style.Body, FDevice, width - 2 * pad)};
            item.Lines = static_cast<int>(item.Cells[0].size());
            pages->Items.push_back(std::move(item));
        }
        for (const TReportField& field : block.Fields) {
            TItem item;
            item.Kind = TItem::Field;
            item.Cells = {Wrap(field.Caption, style.Body, FDevice, captionWidth - 2 * pad),
                          Wrap(field.Value, style.Body, FDevice, width - captionWidth - 2 * pad)};
            item.Lines = static_cast<int>(std::max(item.Cells[0].size(), item.Cells[1].size()));
            pages->Items.push_back(std::move(item));
        }
    }
    if (!section.Table.Columns.empty())
        AddTable(*pages, section.Table);
    if (!section.TextTitle.isEmpty() || !section.TextLines.isEmpty()) {
        band(section.TextTitle, QColor(255, 0, 0), QColor(255, 255, 255));
        for (const QString& line : section.TextLines) {
            TItem item;
            item.Cells = {Wrap(line, style.Body, FDevice, width - 2 * pad)};
            item.Lines = static_cast<int>(item.Cells[0].size());
            pages->Items.push_back(std::move(item));
        }
    }
    Paginate(*pages);
    return pages;
}

void TReportLayout::AddTable(TSectionPages& pages, const TReportTable& table) const
{
    const TStyle& style = *FStyle;
    const double width = FPage.width();
    const double line = LineHeight(style.Table, FDevice);
    const double pad = Padding(line);

    std::vector<std::vector<double>> measured;
    const std::vector<double> widths = ColumnWidths(table, measured);
    // Where every row was measured, a value known to fit needs no second measure.
    const bool allMeasured = !measured.empty() && measured.front().size() == static_cast<std::size_t>(table.RowCount);
    const std::size_t columns = widths.size();
    double x = 0;
    pages.ColumnX.clear();
    for (std::size_t c = 0; c < columns; ++c) {
        pages.ColumnX.push_back(x);
        x += widths[c];
    }
    pages.ColumnX.push_back(std::max(x, width));
    auto cellWidth = [&](std::size_t c) { return pages.ColumnX[c + 1] - pages.ColumnX[c] - 2 * pad; };

    const double bodyLine = LineHeight(style.Body, FDevice);
    TItem title;
    title.Kind = TItem::Band;
    title.Cells = {Wrap(table.Title, style.Bold, FDevice, width - 2 * Padding(bodyLine))};
    title.Lines = static_cast<int>(title.Cells[0].size());
    title.Fill = table.Colour;
    title.Ink = table.TitleColour;

    TItem head;
    head.Kind = TItem::TableHead;
    head.Fill = table.Colour;
    for (std::size_t c = 0; c < columns; ++c) {
        QStringList cell = Wrap(table.Columns[c].Heading, style.TableBold, FDevice, cellWidth(c));
        cell += Wrap(table.Columns[c].Second, style.TableBold, FDevice, cellWidth(c));
        head.Lines = std::max(head.Lines, static_cast<int>(cell.size()));
        head.Cells.push_back(std::move(cell));
    }
    pages.Items.push_back(std::move(title));
    const std::size_t titleItem = pages.Items.size() - 1;
    pages.TableHead = static_cast<int>(pages.Items.size());
    pages.Items.push_back(std::move(head));

    for (int row = 0; row < table.RowCount; ++row) {
        TItem item;
        item.Kind = TItem::TableRow;
        item.Cells.reserve(columns);
        for (std::size_t c = 0; c < columns; ++c) {
            QString text = table.Cell(row, static_cast<int>(c));
            QStringList cell;
            if (allMeasured && measured[c][static_cast<std::size_t>(row)] - 2 * pad - 1 <= cellWidth(c) && !text.contains(u'\n'))
                cell << std::move(text);
            else
                cell = Wrap(text, style.Table, FDevice, cellWidth(c));
            item.Lines = std::max(item.Lines, static_cast<int>(cell.size()));
            item.Cells.push_back(std::move(cell));
        }
        pages.Items.push_back(std::move(item));
    }

    // The heading rows never end a page: they keep the first row, or as much
    // of it as a page holds when it is taller than one; the title keeps both.
    TItem& headItem = pages.Items[static_cast<std::size_t>(pages.TableHead)];
    const double headHeight = ItemHeight(headItem.Lines, line);
    if (table.RowCount > 0) {
        const double first = ItemHeight(pages.Items[static_cast<std::size_t>(pages.TableHead) + 1].Lines, line);
        headItem.KeepWith = first <= pages.Bottom - pages.Top - headHeight + Slack ? first : ItemHeight(1, line);
    }
    pages.Items[titleItem].KeepWith = headHeight + headItem.KeepWith;
}

std::vector<double> TReportLayout::ColumnWidths(const TReportTable& table, std::vector<std::vector<double>>& cells) const
{
    const TStyle& style = *FStyle;
    const double width = FPage.width();
    const double margin = 2 * Padding(LineHeight(style.Table, FDevice)) + 1;
    const std::size_t columns = table.Columns.size();
    const TAdvance head = Advance(style.TableBold, FDevice);
    const TAdvance body = Advance(style.Table, FDevice);

    cells.assign(columns, {});
    std::vector<double> least(columns, 0);
    const int measured = std::min(table.RowCount, MeasuredRows);
    for (int i = 0; i < measured; ++i) {
        const int row = static_cast<int>(static_cast<long long>(i) * table.RowCount / measured);
        for (std::size_t c = 0; c < columns; ++c) {
            const QString text = table.Cell(row, static_cast<int>(c));
            const double wide = text.contains(u'\n') ? WidestLine(text, body) : body(text);
            // No word is wider than its text: most cells need no look at their words.
            if (wide > least[c])
                least[c] = std::max(least[c], WidestWord(text, body));
            cells[c].push_back(wide);
        }
    }

    std::vector<double> headLeast(columns, 0);
    std::vector<double> headWide(columns, 0);
    std::vector<double> widths(columns, 0);
    std::vector<double> most(columns, 0);
    for (std::size_t c = 0; c < columns; ++c) {
        for (const QString& text : {table.Columns[c].Heading, table.Columns[c].Second}) {
            headLeast[c] = std::max(headLeast[c], WidestWord(text, head) + margin);
            headWide[c] = std::max(headWide[c], WidestLine(text, head) + margin);
        }
        for (double& cell : cells[c])
            cell += margin;
        widths[c] = std::max(headLeast[c], least[c] + margin);
        most[c] = std::max(widths[c], headWide[c]);
        for (const double cell : cells[c])
            most[c] = std::max(most[c], cell);
    }

    // Too narrow for some word: those break, no heading's if it can be helped.
    if (Sum(widths) > width) {
        if (Sum(headLeast) < width)
            return FillUpTo(headLeast, widths, width);
        const double factor = width / Sum(headLeast);
        for (double& w : headLeast)
            w *= factor;
        return headLeast;
    }

    // Every word whole; then the widths that spare the most lines, the
    // headings' lines counted once a page; then what is left to the widest
    // values, the narrow columns first, and what is left then by the
    // window's proportions.
    auto headLines = [&](std::size_t c, double w) {
        return static_cast<int>(WrapReportText(table.Columns[c].Heading, w - margin, head).size() +
                                WrapReportText(table.Columns[c].Second, w - margin, head).size());
    };
    const double pages = std::max(1.0, table.RowCount / RowsPerPage);
    const std::size_t sampled = cells.empty() ? 0 : cells.front().size() / std::max<std::size_t>(1, cells.front().size() / OptimisedRows);
    const double headWeight = pages * static_cast<double>(sampled) / std::max(1, table.RowCount);
    SpareLines(widths, cells, margin, headLines, headWeight, headWide, most, width);
    for (const std::vector<double>* wider : {&headWide, &most}) {
        std::vector<double> target = widths;
        for (std::size_t c = 0; c < columns; ++c)
            target[c] = std::max(target[c], (*wider)[c]);
        if (Sum(target) >= width)
            return FillUpTo(widths, target, width);
        widths = target;
    }
    double shares = 0;
    for (const TReportColumn& column : table.Columns)
        shares += std::max(1, column.Width);
    const double spare = width - Sum(widths);
    for (std::size_t c = 0; c < columns; ++c)
        widths[c] += spare * std::max(1, table.Columns[c].Width) / shares;
    return widths;
}

void TReportLayout::Paginate(TSectionPages& pages) const
{
    const double top = pages.Top;
    const double bottom = pages.Bottom;
    double y = top;
    pages.Pages.assign(1, {});
    const TItem* head = pages.TableHead >= 0 ? &pages.Items[static_cast<std::size_t>(pages.TableHead)] : nullptr;
    const double headLine = head != nullptr ? LineHeight(pages.Font(*FStyle, *head), FDevice) : 0;
    const double headHeight = head != nullptr ? ItemHeight(head->Lines, headLine) : 0;

    auto newPage = [&](bool inTable) {
        pages.Pages.emplace_back();
        y = top;
        if (inTable) {
            pages.Pages.back().push_back({pages.TableHead, 0, head->Lines, y});
            y += headHeight;
        }
    };

    // Empty but for the table's heading rows that a new page of the table begins with.
    auto pageEmpty = [&] {
        const auto& slices = pages.Pages.back();
        return slices.empty() || (slices.size() == 1 && slices.front().Item == pages.TableHead);
    };

    for (int i = 0; i < static_cast<int>(pages.Items.size()); ++i) {
        const TItem& item = pages.Items[static_cast<std::size_t>(i)];
        const double line = LineHeight(pages.Font(*FStyle, item), FDevice);
        const bool inTable = item.Kind == TItem::TableRow;
        const double fresh = bottom - top - (inTable ? headHeight : 0);
        int first = 0;
        while (first < item.Lines) {
            const int left = item.Lines - first;
            const double room = bottom - y;
            if (ItemHeight(left, line) + item.KeepWith <= room + Slack) {
                pages.Pages.back().push_back({i, first, left, y});
                y += ItemHeight(left, line);
                break;
            }
            // What fits on a fresh page moves there whole; only what is
            // taller than a page fills this one and goes on over the next.
            if (!pageEmpty() && ItemHeight(left, line) + item.KeepWith <= fresh + Slack) {
                newPage(inTable);
                continue;
            }
            int fit = std::min(left, static_cast<int>(std::floor((room - 2 * Padding(line)) / line + Slack)));
            if (fit <= 0) {
                if (!pageEmpty()) {
                    newPage(inTable);
                    continue;
                }
                fit = 1; // a page lower than one line: go on all the same
            }
            pages.Pages.back().push_back({i, first, fit, y});
            first += fit;
            if (first < item.Lines)
                newPage(inTable);
            else
                y += ItemHeight(fit, line);
        }
    }
}

int TReportLayout::PageCount()
{
    if (FPageCount >= 0)
        return FPageCount;
    FFirstPage.clear();
    int count = 0;
    for (int s = 0; s < FReport.SectionCount; ++s) {
        FFirstPage.push_back(count);
        std::unique_ptr<TSectionPages> pages = LayOut(s);
        count += static_cast<int>(pages->Pages.size());
        FCached = std::move(pages);
        FCachedSection = s;
    }
    FPageCount = count;
    return FPageCount;
}

const TReportLayout::TSectionPages& TReportLayout::SectionPages(int section)
{
    if (FCachedSection != section) {
        FCached.reset();
        FCached = LayOut(section);
        FCachedSection = section;
    }
    return *FCached;
}

TReportLayout::TTableFigures TReportLayout::TableFigures(int section)
{
    const TSectionPages& pages = SectionPages(section);
    TTableFigures figures;
    figures.Body = pages.Bottom - pages.Top;
    const double line = LineHeight(FStyle->Table, FDevice);
    if (pages.TableHead >= 0)
        figures.TableHead = ItemHeight(pages.Items[static_cast<std::size_t>(pages.TableHead)].Lines, line);
    figures.Row = ItemHeight(1, line);
    return figures;
}

void TReportLayout::PaintItem(QPainter& painter, const TSectionPages& pages, const TItem& item, int first, int count,
                              double y) const
{
    const TStyle& style = *FStyle;
    const QFont& font = pages.Font(style, item);
    const double line = LineHeight(font, FDevice);
    const double pad = Padding(line);
    const double ascent = QFontMetricsF(font, FDevice).ascent();
    const double height = ItemHeight(count, line);
    const double width = FPage.width();
    const bool table = item.Kind == TItem::TableHead || item.Kind == TItem::TableRow;

    std::vector<double> x;
    if (table)
        x = pages.ColumnX;
    else if (item.Kind == TItem::Field)
        x = {0, CaptionShare * width, width};
    else
        x = {0, width};

    if (item.Fill.isValid())
        painter.fillRect(QRectF(0, y, width, height), item.Fill);
    painter.setFont(font);
    painter.setPen(item.Ink.isValid() ? item.Ink : QColor(Qt::black));
    for (std::size_t c = 0; c < item.Cells.size() && c + 1 < x.size(); ++c) {
        const QStringList& cell = item.Cells[c];
        for (int l = first; l < first + count && l < cell.size(); ++l)
            painter.drawText(QPointF(x[c] + pad, y + pad + (l - first) * line + ascent), cell[l]);
    }
    if (table) {
        painter.setPen(QPen(QColor(96, 96, 96), style.Rule / 2));
        painter.drawRect(QRectF(0, y, width, height));
        for (std::size_t c = 1; c + 1 < x.size(); ++c)
            painter.drawLine(QPointF(x[c], y), QPointF(x[c], y + height));
    }
}

void TReportLayout::PaintPage(QPainter& painter, int page)
{
    const int count = PageCount();
    if (page < 0 || page >= count)
        return;
    const auto next = std::upper_bound(FFirstPage.begin(), FFirstPage.end(), page);
    const int section = static_cast<int>(next - FFirstPage.begin()) - 1;
    const TSectionPages& pages = SectionPages(section);
    const TStyle& style = *FStyle;
    const double width = FPage.width();

    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(style.Title);
    const double titleLine = LineHeight(style.Title, FDevice);
    const double titleBase = QFontMetricsF(style.Title, FDevice).ascent();
    painter.drawText(QPointF(0, titleBase), FReport.Title);
    painter.setFont(style.Body);
    const QFontMetricsF body(style.Body, FDevice);
    painter.drawText(QPointF(width - body.horizontalAdvance(FReport.Printed), titleBase), FReport.Printed);
    double y = titleLine;
    for (const QString& line : pages.Heading) {
        painter.drawText(QPointF(0, y + body.ascent()), line);
        y += body.lineSpacing();
    }
    painter.setPen(QPen(Qt::black, style.Rule));
    painter.drawLine(QPointF(0, y + style.Gap / 2), QPointF(width, y + style.Gap / 2));

    const int local = page - FFirstPage[static_cast<std::size_t>(section)];
    for (const TSectionPages::TSlice& slice : pages.Pages[static_cast<std::size_t>(local)])
        PaintItem(painter, pages, pages.Items[static_cast<std::size_t>(slice.Item)], slice.First, slice.Count, slice.Y);

    painter.setPen(Qt::black);
    painter.setFont(style.Body);
    const QString footer = QStringLiteral("Seite %1 von %2").arg(page + 1).arg(count);
    painter.drawText(QPointF((width - body.horizontalAdvance(footer)) / 2, FPage.height() - body.descent()), footer);
    painter.restore();
}
