#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "ErrorDisplay.h"
#include "Report.h"
#include "ReportPrinter.h"

class QLabel;
class QLayout;
class QPlainTextEdit;
class QPoint;
class QRect;
class QSize;
class QPushButton;
class QWidget;
class TStringGrid;

// The colours a printed list of findings borrows from the main window, so that
// it looks like the report of an examination: the summary as a block, the
// findings as the analysis grid.
struct TCompareLook {
    QColor Block = QColor(255, 255, 255);
    QColor BlockTitle = QColor(0, 0, 0);
    QColor Table = QColor(255, 255, 255);
    QColor TableTitle = QColor(0, 0, 0);
};

// A column of a findings table: its width on screen in pixels (never
// narrower than its heading), and on paper a share of the page under two
// heading rows, as the analysis grid has.
struct TFindingsColumn {
    const char* Heading;
    int Width;
    const char* PrintHeading;
    const char* PrintSecond;
    int PrintShare;
};

// What the comparison and the content check share: a window beside the main
// window that lists what was found about its file as a table, or, when
// nothing could be looked at, says why in white on red. Enter, a double click
// or "Zeigen" shows a row's examination in the main window and the window
// stays open; Ctrl+C copies rows; Ctrl+P prints; Escape closes it. It writes
// nothing but a print.
class TFindingsDialog : public QDialog {
    Q_OBJECT

public:
    // Shows in the main window the examination whose header line 1 is
    // investigationLine and, where line is one of its parameter lines, that
    // parameter's grid row; false when the file has no examination there.
    using TShowInvestigation = std::function<bool(std::int64_t investigationLine, std::int64_t line)>;
    void SetShowInvestigation(TShowInvestigation show) { FShowInvestigation = std::move(show); }
    // Tests hand in their own print dialog and error sink.
    void SetPrintDialog(TPrintDialog dialog) { FPrintDialog = std::move(dialog); }
    void SetErrorSink(TErrorSink sink) { FErrorSink = std::move(sink); }
    void SetLook(const TCompareLook& look) { FLook = look; }

    // What a print of the window holds; no section when there is nothing to print.
    virtual TReport FindingsReport() const = 0;
    // The full text of a cell when its column cuts it off, else empty.
    QString CutOffText(int col, int row) const;
    // Where a window of frame size `size` covers least of the main window's
    // frame: right of it, left, below or above, within the available area.
    static QPoint PlaceBeside(const QRect& mainFrame, const QSize& size, const QRect& available);

    TStringGrid* Table() const { return FTable; }
    QPushButton* ShowButton() const { return FShow; }
    QPlainTextEdit* Messages() const { return FMessages; }
    QLabel* Summary() const { return FSummary; }
    // What became of the last row shown, in words.
    QLabel* Status() const { return FStatus; }

public slots:
    // Shows the selected row's examination in the main window.
    virtual void ShowRow() = 0;
    void CopyRows();
    void PrintFindings();

protected:
    TFindingsDialog(QWidget* parent, std::span<const TFindingsColumn> columns, const QString& tableName,
                    const QString& showTip);
    // Lays the window out: top above the summary, under it the widgets of
    // notes, then the red panel or the table, then the buttons; printButton,
    // when given, stands between "Zeigen" and "Schließen".
    void Arrange(QLayout* top, std::initializer_list<QWidget*> notes, QPushButton* printButton = nullptr);
    // Shows count rows, each cell drawn by cell(row from 0, column) as it comes into view.
    void ShowRows(std::size_t count, std::function<QString(std::size_t row, int col)> cell);
    // The findings as the printed table, titled title.
    TReportTable PrintedTable(const QString& title, std::size_t count,
                              std::function<QString(int row, int col)> cell) const;
    // Shows the examination in the main window and says so in the status
    // line; false when it is not there to be shown.
    bool ShowInMain(std::int64_t investigationLine, std::int64_t parameterLine);

    // Whether the table has rows to show and copy, and whether there is anything to print.
    virtual bool HasRows() const = 0;
    virtual bool CanPrint() const = 0;
    // The file a print is named after.
    virtual std::string PrintedPath() const = 0;

    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::span<const TFindingsColumn> FColumns;
    TShowInvestigation FShowInvestigation;
    TPrintDialog FPrintDialog = SystemPrintDialog;
    TErrorSink FErrorSink;
    TCompareLook FLook;

    QLabel* FSummary;
    QWidget* FMessagePanel;
    QLabel* FMessageTitle;
    QPlainTextEdit* FMessages;
    TStringGrid* FTable;
    QLabel* FStatus;
    QPushButton* FShow;

private:
    void ShowTableMenu(const QPoint& position);
};
