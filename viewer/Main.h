#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "ErrorDisplay.h"
#include "InvestigationList.h"
#include "PathSource.h"
#include "ReportPrinter.h"

namespace Ui {
class TMainForm;
}
class TFindingsDialog;
class TfrmCompare;
class TfrmContentCheck;
struct TCompareLook;
class TfrmInfoHelp;
class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QMenu;
class QMimeData;
class TStringGrid;
class QShowEvent;

// The viewer's one main window. The layout lives in Main.ui; the behaviour is
// spread over source files by concern:
//   Main.cpp               creation, layout set-up, key preview, FormCreate
//   MainInvestigations.cpp loading, the detail display, the field hints
//   MainOpen.cpp           activation, opening a file, closing
//   MainHelp.cpp           the help button and F1
//   MainClipboard.cpp      copying rows and values
//   MainFind.cpp           find as you type in the examination list
//   MainDrop.cpp           dropped files open in new copies of the viewer
//   MainAccessibility.cpp  names for assistive technology
//   MainPrint.cpp          printing the shown examination, all of them, or the findings
//   MainCompare.cpp        comparing the file with another one
//   MainContentCheck.cpp   checking the file's content
class TMainForm : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The help window that the help button and F1 show; owned by the caller.
    void SetHelpForm(TfrmInfoHelp* helpForm) { FHelpForm = helpForm; }

    // Where the file comes from; asked once, at the first activation. Without
    // a source the window opens nothing by itself.
    void SetPathSource(TPathSource source) { FPathSource = std::move(source); }

    // Opening a file (MainOpen.cpp). The path is in the file system's bytes;
    // the text form is for callers that hold a shown name.
    void OpenTransferFile(const std::string& path);
    void OpenTransferFile(const QString& path);

    // Loaded examinations and their display (MainInvestigations.cpp).
    void LoadInvestigations(const std::string& path);
    void ClearInvestigations();
    void ShowInvestigation();
    void UpdateFieldHints();

    const std::string& FileName() const { return FFileName; }
    int32_t InvestigationCount() const { return FInvestigationCount; }
    int32_t CurrentIndex() const { return FCurrentIndex; }
    const TInvestigationList& Investigations() const { return FInvestigations; }

    // Starts a new copy of the viewer on a dropped file; false when it could
    // not be started. Tests hand in one that records its paths.
    using TFileLauncher = std::function<bool(const QString& path)>;
    void SetFileLauncher(TFileLauncher launcher) { FFileLauncher = std::move(launcher); }
    // Hands the dropped local files to the launcher, at most ten; false when
    // the drag carries anything but local files.
    bool OpenDroppedFiles(const QMimeData* mime);

    // Where the window's failures go; empty (the default) shows a message
    // box. Tests hand in one that records the texts.
    void SetErrorSink(TErrorSink sink) { FErrorSink = std::move(sink); }
    const TErrorSink& ErrorSink() const { return FErrorSink; }
    // Compares the shown file with another one, asked for in the open dialog
    // (MainCompare.cpp), in the window "Vergleich", which stays open beside
    // this one and replaces the one open before. Tests hand in where the
    // other file comes from.
    void CompareWithOtherFile();
    void SetOtherFileSource(TPathSource source) { FOtherFileSource = std::move(source); }
    TfrmCompare* CompareForm() const; // the one open, or none
    // The colours of its print, and the content check's, borrowed from this window's blocks.
    TCompareLook CompareLook() const;
    // Shows the examination whose header line 1 is line `line` of the file,
    // as a selection in the list does, and selects the grid row of the
    // parameter on line parameterLine where it has one; false when the file
    // has no examination there.
    bool ShowInvestigationAtLine(std::int64_t line, std::int64_t parameterLine = 0);

    // Checks the shown file's content (MainContentCheck.cpp) in the window
    // "Inhaltsprüfung", which stays open beside this one and replaces the one
    // open before; the main window's verdict stays the structure check's.
    // The lists come from the folder that the lookup names, by default where
    // morvask-check looks without --kodelisten; tests hand in their own.
    void CheckContent();
    using TFolderLookup = std::function<std::optional<std::string>()>;
    void SetCodeListFolderLookup(TFolderLookup lookup) { FCodeListFolderLookup = std::move(lookup); }
    TfrmContentCheck* ContentCheckForm() const; // the one open, or none

    // Printing (MainPrint.cpp): the shown examination, or the findings in
    // the error view; every examination each from a new page; a preview.
    // Nothing to print (no file shown) beeps.
    void PrintShown();
    void PrintAllInvestigations();
    void PreviewShown();
    // Tests hand in their own print dialog; the system's is the default.
    void SetPrintDialog(TPrintDialog dialog) { FPrintDialog = std::move(dialog); }
    // What a print of the shown view, or of every examination, holds; no
    // section when there is nothing to print.
    TReport ShownReport() const;
    TReport AllInvestigationsReport() const;

public slots:
    void FormActivate();
    void sgObjectListClick();
    void bbtnCloseClick();
    void bbtnHelpInfoClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    // Hands a findings window this window's sinks and colours, and shows it beside this one.
    void OpenBeside(TFindingsDialog* form);
    void FormDestroy();
    // Key preview: returns true when the key was consumed.
    bool FormKeyDown(QKeyEvent* event);

    // The steps of FormCreate that belong to other concerns.
    void SetHintDisplayTime();
    void WriteObjectListHeader();
    void WriteSamplesHeader();

    // What the window offers beyond its layout, set up once at creation.
    void SetUpWorkingAids();
    void SetUpClipboard();
    void ShowGridMenu(TStringGrid* grid, const QPoint& position);
    void ShowValueMenu(QLabel* label, const QPoint& position);
    // Shows the count and the rows of the examinations just loaded.
    void ListInvestigations();
    void SetUpFind();
    int FindInObjectList(const QString& text, int fromRow) const;
    void SetUpDrop();
    void SetUpAccessibility();
    void SetUpPrinting();
    void AddPrintActions(QMenu* menu, bool withAll);
    void Print(const TReport& report);

    Ui::TMainForm* ui;
    TfrmInfoHelp* FHelpForm = nullptr;
    TPathSource FPathSource;

    std::string FFileName;
    int32_t FInvestigationCount = 0;
    int32_t FCurrentIndex = 0;
    TInvestigationList FInvestigations;
    bool FActivated = false;
    TFileLauncher FFileLauncher;
    TErrorSink FErrorSink;

    // The last checked file and, in the error view, its findings as the panel
    // first showed them (LF line ends), for printing.
    std::string FCheckedPath;
    std::string FFindings;
    TPrintDialog FPrintDialog = SystemPrintDialog;
    TPathSource FOtherFileSource;
    QPointer<TfrmCompare> FCompareForm;
    TFolderLookup FCodeListFolderLookup;
    QPointer<TfrmContentCheck> FContentCheckForm;
};
