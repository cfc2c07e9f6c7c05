#pragma once

#include <QHeaderView>

class TStringGridModel;

// The fixed header rows of a string grid, drawn as one header section per
// column so that they stay in place while the rows scroll and so that the
// column borders can be dragged in them.
class TStringGridHeader : public QHeaderView {
    Q_OBJECT

public:
    TStringGridHeader(TStringGridModel* cells, QWidget* parent = nullptr);

    void SetRowPitch(int pitch);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TStringGridModel* FCells;
    int FRowPitch = 17;
};
