#include "StringGrid.h"

#include "StringGridModel.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

namespace {

// A cell that holds a tab or a line break would split its row; such a cell,
// and one that begins with a quote, is quoted the way spreadsheets read it.
void AppendCell(QString& text, const QString& cell)
{
    const bool quote = cell.startsWith(QLatin1Char('"')) || cell.contains(QLatin1Char('\t')) ||
                       cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'));
    if (!quote) {
        text += cell;
        return;
    }
    text += QLatin1Char('"');
    text += QString(cell).replace(QLatin1Char('"'), QStringLiteral("\"\""));
    text += QLatin1Char('"');
}

bool PutOnClipboard(const QString& text)
{
    if (text.isEmpty())
        return false;
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    return true;
}

} // namespace

QString TStringGrid::ColumnHeading(int col) const
{
    return FCells->headerData(col, Qt::Horizontal).toString();
}

QString TStringGrid::RowsText(int top, int bottom) const
{
    top = std::max(top, FCells->FixedRows());
    bottom = std::min(bottom, FCells->RowCount() - 1);
    if (top > bottom)
        return QString();
    const int cols = FCells->ColCount();
    QString text;
    text.reserve(static_cast<qsizetype>(bottom - top + 2) * cols * 12);
    for (int col = 0; col < cols; ++col) {
        if (col > 0)
            text += QLatin1Char('\t');
        AppendCell(text, ColumnHeading(col));
    }
    text += QLatin1Char('\n');
    for (int row = top; row <= bottom; ++row) {
        for (int col = 0; col < cols; ++col) {
            if (col > 0)
                text += QLatin1Char('\t');
            AppendCell(text, FCells->Cell(col, row));
        }
        text += QLatin1Char('\n');
    }
    return text;
}

bool TStringGrid::CopySelection() const
{
    if (selectionModel()->selection().isEmpty())
        return false;
    return PutOnClipboard(RowsText(SelectionTop(), SelectionBottom()));
}

bool TStringGrid::CopyAllRows() const
{
    return PutOnClipboard(RowsText(FCells->FixedRows(), FCells->RowCount() - 1));
}
