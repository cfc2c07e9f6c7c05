#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>
#include <unordered_map>

// The cells of a string grid. Cells set explicitly are kept sparsely; every
// other cell of a scrolling row is asked of the cell source when it is drawn,
// so a grid of a million rows costs nothing until its rows are looked at.
//
// The model shows the scrolling rows only (grid row FixedRows() + r is model
// row r); the fixed header rows are drawn by the grid's header.
class TStringGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using TCellSource = std::function<QString(int col, int row)>;

    explicit TStringGridModel(QObject* parent = nullptr);

    int ColCount() const { return FColCount; }
    void SetColCount(int count);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int count);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int count);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int count);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    void SetCellSource(TCellSource source);

    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);
    QColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(const QColor& color);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // A column's heading: the texts of its fixed rows joined by a blank, for
    // copying and for assistive technology; the grid draws its header rows itself.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The text of a fixed header row changed; the header redraws.
    void FixedCellsChanged();

private:
    static std::uint64_t Key(int col, int row)
    {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) | static_cast<std::uint32_t>(col);
    }
    int BodyRows() const { return FRowCount > FFixedRows ? FRowCount - FFixedRows : 0; }
    void DropCellsOutside();

    int FColCount = 5;
    int FRowCount = 5;
    int FFixedRows = 1;
    int FFixedCols = 1;
    QColor FColor = QColor(255, 255, 255);
    QColor FFixedColor = QColor(240, 240, 240);
    std::unordered_map<std::uint64_t, QString> FCells;
    TCellSource FSource;
};
