#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

#include "Comparison.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TStringGrid;

// The window "Vergleich": what changed between the main window's file and
// another one, as a table. The other file counts first as the earlier one; a
// button swaps the roles. It writes nothing. Enter or a double click on a row
// closes it with that row's examination chosen; Escape closes it.
class TfrmCompare : public QDialog {
    Q_OBJECT

public:
    // Paths in the file system's bytes. Throws EFileOpenError when a file
    // cannot be read.
    TfrmCompare(std::string shownPath, std::string otherPath, QWidget* parent = nullptr);

    // Whether the main window's file is the later one ("neu").
    bool ShownIsNew() const { return FShownIsNew; }
    const TComparison& Comparison() const { return FComparison; }
    // After the window closed on a row: the line of header line 1 of its
    // examination in the main window's file; 0 when that file does not have it.
    std::int64_t ChosenInvestigationLine() const { return FChosenLine; }

    TStringGrid* Table() const { return FTable; }
    QPushButton* SwapButton() const { return FSwap; }
    QPlainTextEdit* Messages() const { return FMessages; }
    QLabel* Summary() const { return FSummary; }

public slots:
    // Compares again with the roles swapped; the window stays as it was when that fails.
    void SwapRoles();
    // Closes the window with the selected row's examination chosen.
    void ChooseRow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Compare(bool shownIsNew);
    void Show();

    std::string FShownPath;
    std::string FOtherPath;
    bool FShownIsNew = true;
    TComparison FComparison;
    std::int64_t FChosenLine = 0;

    QLabel* FOldPath;
    QLabel* FNewPath;
    QPushButton* FSwap;
    QLabel* FSummary;
    QLabel* FNote;
    QWidget* FMessagePanel;
    QPlainTextEdit* FMessages;
    TStringGrid* FTable;
};
