#include "StringGridModel.h"

#include <QStringList>

#include <algorithm>

TStringGridModel::TStringGridModel(QObject* parent) : QAbstractTableModel(parent) { }

void TStringGridModel::SetColCount(int count)
{
    count = std::max(count, 1);
    if (count == FColCount)
        return;
    if (count > FColCount) {
        beginInsertColumns(QModelIndex(), FColCount, count - 1);
        FColCount = count;
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), count, FColCount - 1);
        FColCount = count;
        DropCellsOutside();
        endRemoveColumns();
    }
    FFixedCols = std::min(FFixedCols, FColCount - 1);
    emit FixedCellsChanged();
}

void TStringGridModel::SetRowCount(int count)
{
    count = std::max(count, FFixedRows); // a grid may hold its header rows only
    if (count == FRowCount)
        return;
    // Rows are inserted or removed at the end, never reset, so that the
    // selection of the rows that remain stays where it was.
    const int oldBody = BodyRows();
    const int newBody = count - FFixedRows;
    if (newBody > oldBody) {
        beginInsertRows(QModelIndex(), oldBody, newBody - 1);
        FRowCount = count;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), newBody, oldBody - 1);
        FRowCount = count;
        DropCellsOutside();
        endRemoveRows();
    }
}

void TStringGridModel::SetFixedRows(int count)
{
    count = std::clamp(count, 0, FRowCount);
    if (count == FFixedRows)
        return;
    beginResetModel();
    FFixedRows = count;
    endResetModel();
    emit FixedCellsChanged();
}

void TStringGridModel::SetFixedCols(int count)
{
    count = std::clamp(count, 0, FColCount - 1);
    if (count == FFixedCols)
        return;
    FFixedCols = count;
    if (BodyRows() > 0)
        emit dataChanged(index(0, 0), index(BodyRows() - 1, FColCount - 1));
    emit FixedCellsChanged();
}

QString TStringGridModel::Cell(int col, int row) const
{
    if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount)
        return QString();
    const auto found = FCells.find(Key(col, row));
    if (found != FCells.end())
        return found->second;
    if (FSource && row >= FFixedRows)
        return FSource(col, row);
    return QString();
}

void TStringGridModel::SetCell(int col, int row, const QString& text)
{
    if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount)
        return;
    FCells[Key(col, row)] = text;
    if (row < FFixedRows) {
        emit FixedCellsChanged();
    } else {
        const QModelIndex changed = index(row - FFixedRows, col);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void TStringGridModel::SetCellSource(TCellSource source)
{
    FSource = std::move(source);
    if (BodyRows() > 0)
        emit dataChanged(index(0, 0), index(BodyRows() - 1, FColCount - 1), {Qt::DisplayRole});
}

void TStringGridModel::SetColor(const QColor& color)
{
    FColor = color;
    if (BodyRows() > 0)
        emit dataChanged(index(0, 0), index(BodyRows() - 1, FColCount - 1), {Qt::BackgroundRole});
}

void TStringGridModel::SetFixedColor(const QColor& color)
{
    FFixedColor = color;
    if (BodyRows() > 0 && FFixedCols > 0)
        emit dataChanged(index(0, 0), index(BodyRows() - 1, FFixedCols - 1), {Qt::BackgroundRole});
    emit FixedCellsChanged();
}

int TStringGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : BodyRows();
}

int TStringGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FColCount;
}

QVariant TStringGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return Cell(index.column(), index.row() + FFixedRows);
    case Qt::BackgroundRole:
        return index.column() < FFixedCols ? FFixedColor : FColor;
    default:
        return QVariant();
    }
}

QVariant TStringGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= FColCount)
        return QVariant();
    QStringList parts;
    for (int row = 0; row < FFixedRows; ++row) {
        const QString part = Cell(section, row).trimmed();
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

Qt::ItemFlags TStringGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Fixed cells can be neither selected nor edited; no cell can be edited.
    if (index.column() < FFixedCols)
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TStringGridModel::DropCellsOutside()
{
    for (auto it = FCells.begin(); it != FCells.end();) {
        const int row = static_cast<int>(it->first >> 32);
        const int col = static_cast<int>(it->first & 0xFFFFFFFFu);
        if (row >= FRowCount || col >= FColCount)
            it = FCells.erase(it);
        else
            ++it;
    }
}
