#pragma once

#include <QColor>
#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

#include "Comparison.h"
#include "ErrorDisplay.h"
#include "Report.h"
#include "ReportPrinter.h"
#include "TransmissionOrder.h"

class QLabel;
class QPlainTextEdit;
class QPoint;
class QRect;
class QSize;
class QPushButton;
class QWidget;
class TStringGrid;

// The colours a printed comparison borrows from the main window, so that it
// looks like the report of an examination: the summary as a block, the
// differences as the analysis grid.
struct TCompareLook {
    QColor Block = QColor(255, 255, 255);
    QColor BlockTitle = QColor(0, 0, 0);
    QColor Table = QColor(255, 255, 255);
    QColor TableTitle = QColor(0, 0, 0);
};

// The window "Vergleich": what changed between the main window's file and
// another one, as a table. The earlier transmission is the older file, by the
// dates and times in the names, else by the modification times; a button
// swaps the roles. It writes nothing but a print. It stays open beside the
// main window: Enter, a double click or "Zeigen" on a row shows that row's
// examination there; Escape closes it.
class TfrmCompare : public QDialog {
    Q_OBJECT

public:
    // How two files are compared; empty: CompareTransferFiles. Tests hand in their own.
    using TComparer = std::function<TComparison(const std::string& oldPath, const std::string& newPath)>;
    // Paths in the file system's bytes. Throws EFileOpenError when a file
    // cannot be read.
    TfrmCompare(std::string shownPath, std::string otherPath, QWidget* parent = nullptr, TComparer comparer = {});

    // Shows in the main window the examination whose header line 1 is
    // investigationLine and, where line is one of its parameter lines, that
    // parameter's grid row; false when the file has no examination there.
    using TShowInvestigation = std::function<bool(std::int64_t investigationLine, std::int64_t line)>;
    void SetShowInvestigation(TShowInvestigation show) { FShowInvestigation = std::move(show); }
    // Tests hand in their own print dialog and error sink.
    void SetPrintDialog(TPrintDialog dialog) { FPrintDialog = std::move(dialog); }
    void SetErrorSink(TErrorSink sink) { FErrorSink = std::move(sink); }
    void SetLook(const TCompareLook& look) { FLook = look; }

    // Whether the main window's file is the later one ("neu").
    bool ShownIsNew() const { return FShownIsNew; }
    // What decided the roles before any swap.
    EOrderRule OrderRule() const { return FOrder.Rule; }
    const TComparison& Comparison() const { return FComparison; }
    // The printed differences: the page heading with both files, the
    // summary, then the table.
    TReport DifferencesReport() const;
    // The full text of a cell when its column cuts it off, else empty.
    QString CutOffText(int col, int row) const;
    // Where a window of frame size `size` covers least of the main window's
    // frame: right of it, left, below or above, within the available area.
    static QPoint PlaceBeside(const QRect& mainFrame, const QSize& size, const QRect& available);

    TStringGrid* Table() const { return FTable; }
    QPushButton* SwapButton() const { return FSwap; }
    QPushButton* ShowButton() const { return FShow; }
    QPlainTextEdit* Messages() const { return FMessages; }
    QLabel* Summary() const { return FSummary; }
    QLabel* Order() const { return FOrderText; }
    // What became of the last row shown, in words.
    QLabel* Status() const { return FStatus; }

public slots:
    // Compares again with the roles swapped; the window stays as it was when that fails.
    void SwapRoles();
    // Shows the selected row's examination in the main window.
    void ShowRow();
    void CopyRows();
    void PrintDifferences();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Compare(bool shownIsNew);
    void Show();
    void ShowTableMenu(const QPoint& position);
    const std::string& OldPath() const { return FShownIsNew ? FOtherPath : FShownPath; }
    const std::string& NewPath() const { return FShownIsNew ? FShownPath : FOtherPath; }

    std::string FShownPath;
    std::string FOtherPath;
    TComparer FComparer;
    TTransmissionOrder FOrder;
    bool FShownIsNew = true;
    TComparison FComparison;
    TShowInvestigation FShowInvestigation;
    TPrintDialog FPrintDialog = SystemPrintDialog;
    TErrorSink FErrorSink;
    TCompareLook FLook;

    QLabel* FOldPath;
    QLabel* FNewPath;
    QLabel* FOrderText;
    QPushButton* FSwap;
    QLabel* FSummary;
    QLabel* FNote;
    QWidget* FMessagePanel;
    QPlainTextEdit* FMessages;
    TStringGrid* FTable;
    QLabel* FStatus;
    QPushButton* FShow;
};
