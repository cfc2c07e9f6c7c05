#pragma once

#include <functional>
#include <string>

#include "Comparison.h"
#include "FindingsDialog.h"
#include "TransmissionOrder.h"

class QLabel;
class QPushButton;
class QWidget;

// The window "Vergleich": what changed between the main window's file and
// another one, as a table. The earlier transmission is the older file, by the
// dates and times in the names, else by the modification times; a button
// swaps the roles. It writes nothing but a print. It stays open beside the
// main window.
class TfrmCompare : public TFindingsDialog {
    Q_OBJECT

public:
    // How two files are compared; empty: CompareTransferFiles. Tests hand in their own.
    using TComparer = std::function<TComparison(const std::string& oldPath, const std::string& newPath)>;
    // Paths in the file system's bytes. Throws EFileOpenError when a file
    // cannot be read.
    TfrmCompare(std::string shownPath, std::string otherPath, QWidget* parent = nullptr, TComparer comparer = {});

    // Whether the main window's file is the later one ("neu").
    bool ShownIsNew() const { return FShownIsNew; }
    // What decided the roles before any swap.
    EOrderRule OrderRule() const { return FOrder.Rule; }
    const TComparison& Comparison() const { return FComparison; }
    // The printed differences: the page heading with both files, the
    // summary, then the table.
    TReport FindingsReport() const override;

    QPushButton* SwapButton() const { return FSwap; }
    QLabel* Order() const { return FOrderText; }

    void ShowRow() override;

public slots:
    // Compares again with the roles swapped; the window stays as it was when that fails.
    void SwapRoles();

protected:
    bool HasRows() const override { return FComparison.Compared && !FComparison.Differences.empty(); }
    bool CanPrint() const override { return FComparison.Compared; }
    std::string PrintedPath() const override { return NewPath(); }

private:
    void Compare(bool shownIsNew);
    void Show();
    const std::string& OldPath() const { return FShownIsNew ? FOtherPath : FShownPath; }
    const std::string& NewPath() const { return FShownIsNew ? FShownPath : FOtherPath; }

    std::string FShownPath;
    std::string FOtherPath;
    TComparer FComparer;
    TTransmissionOrder FOrder;
    bool FShownIsNew = true;
    TComparison FComparison;

    QLabel* FOldPath;
    QLabel* FNewPath;
    QLabel* FOrderText;
    QPushButton* FSwap;
    QLabel* FNote;
};
