#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ContentFinding.h"
#include "FindingsDialog.h"
#include "ListChecks.h"
#include "PathSource.h"
#include "SamplingData.h"

class QLabel;
class QPushButton;
class QWidget;

// What one content check of a file gave: the folder whose lists judged it,
// the checks that ran without their list, and the findings. A file changed
// since the main window checked it may fail the structure check: then Check
// holds those messages and there are no findings.
struct TContentRun {
    std::optional<std::string> Folder;
    std::vector<const TListCheck*> Missing;
    TSamplingData Check;
    std::vector<TContentFinding> Findings;
    std::exception_ptr Failure; // the file or a list could not be read
};

// The window "Inhaltsprüfung": the content findings of the main window's file
// as a table, beside the main window. It checks with the lists of the folder
// it is given (none: the rules that need no list), or of one chosen for this
// run; it writes nothing and keeps nothing.
class TfrmContentCheck : public TFindingsDialog {
    Q_OBJECT

public:
    // How the file is checked with the lists of a folder; empty:
    // RunContentCheck. Tests hand in their own. It runs on a thread of its own.
    using TChecker = std::function<TContentRun(const std::string& path, const std::optional<std::string>& folder)>;
    // path in the file system's bytes; folder where the lists are, if any.
    TfrmContentCheck(std::string path, std::optional<std::string> folder, QWidget* parent = nullptr, TChecker checker = {});
    ~TfrmContentCheck() override;

    // The check as the tool runs it: the lists of folder, then the file.
    static TContentRun RunContentCheck(const std::string& path, const std::optional<std::string>& folder);

    // Where "Kodelisten wählen…" takes its folder from; tests hand in their own.
    void SetFolderSource(TPathSource source) { FFolderSource = std::move(source); }

    // Whether a check is under way.
    bool Checking() const { return FChecking; }
    const TContentRun& Run() const { return FRun; }
    // The printed findings: the file, the lists, the checks without a list, the table.
    TReport FindingsReport() const override;

    QLabel* Lists() const { return FListsText; }
    QLabel* Unchecked() const { return FUnchecked; }
    QPushButton* ChooseButton() const { return FChoose; }

    void ShowRow() override;

signals:
    // A check has ended and the window shows what it found.
    void CheckFinished();

public slots:
    // Asks for a folder and checks again with its lists.
    void ChooseLists();

protected:
    bool HasRows() const override { return !FChecking && !FRun.Findings.empty(); }
    bool CanPrint() const override { return !FChecking && FFailure.isEmpty(); }
    std::string PrintedPath() const override { return FPath; }

private:
    void Start(std::optional<std::string> folder);
    void Finished(TContentRun run);
    void Show();
    QString ListsText() const;
    QStringList UncheckedLines() const;

    std::string FPath;
    std::optional<std::string> FFolder;
    TChecker FChecker;
    TContentRun FRun;
    QString FFailure;
    bool FChecking = false;
    std::thread FWorker;
    TPathSource FFolderSource;

    QLabel* FListsText;
    QPushButton* FChoose;
    QLabel* FUnchecked;
    QPushButton* FPrint;
};
