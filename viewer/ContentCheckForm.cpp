#include "ContentCheckForm.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <system_error>
#include <utility>

#include "CheckPath.h"
#include "CodeListFolder.h"
#include "CodeLists.h"
#include "ContentFileCheck.h"
#include "DisplayText.h"
#include "FieldCaptions.h"
#include "FileNameCheck.h"
#include "ReportParts.h"
#include "StringGrid.h"

namespace {

constexpr std::array<TFindingsColumn, 5> Columns{{
    {"Zeile", 55, "Zeile", "in Datei", 55},
    {"Untersuchung", 90, "Unters.", "Nr.", 55},
    {"Feld", 300, "Feld", "", 230},
    {"Kode", 40, "Kode", "", 35},
    {"Meldung", 620, "Meldung", "", 455},
}};
enum EColumn { LineColumn,
               InvestigationColumn,
               FieldColumn,
               CodeColumn,
               MessageColumn };

QString Cell(const TContentFinding& f, int col)
{
    switch (col) {
    case LineColumn:
        return QString::number(f.Line);
    case InvestigationColumn:
        return QString::number(f.Investigation);
    case FieldColumn:
        return Utf8ToQString(FieldHeading(f.Field));
    case CodeColumn:
        return QString::number(static_cast<int>(f.Code));
    default:
        return Cp1252ToQString(f.Text()).trimmed();
    }
}

QString Count(std::size_t n)
{
    return n == 1 ? QStringLiteral("1 Meldung zum Inhalt") : QStringLiteral("%1 Meldungen zum Inhalt").arg(n);
}

} // namespace

TfrmContentCheck::TfrmContentCheck(std::string path, std::optional<std::string> folder, QWidget* parent, TChecker checker)
    : TFindingsDialog(parent, Columns, QStringLiteral("Meldungen zum Inhalt"),
                      QStringLiteral("Die Untersuchung der Meldung im Hauptfenster zeigen (Eingabetaste, Doppelklick)")),
      FPath(std::move(path)),
      FChecker(std::move(checker))
{
    setWindowTitle(QStringLiteral("Morvask-Betrachter  -  Inhaltsprüfung"));
    resize(1160, 480);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Datei:"), this), 0, 0);
    top->addWidget(new QLabel(QStringLiteral("Kodelisten:"), this), 1, 0);
    auto* file = new QLabel(NativeCheckPath(FPath), this);
    FListsText = new QLabel(this);
    FListsText->setWordWrap(true);
    for (QLabel* label : {file, FListsText})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(file, 0, 1);
    top->addWidget(FListsText, 1, 1);
    top->setColumnStretch(1, 1);
    FChoose = new QPushButton(QStringLiteral("&Kodelisten wählen…"), this);
    FChoose->setAutoDefault(false);
    FChoose->setToolTip(QStringLiteral("Für diese Prüfung die Kodelisten eines anderen Ordners nehmen"));
    top->addWidget(FChoose, 0, 2, 2, 1);
    connect(FChoose, &QPushButton::clicked, this, [this] { Guarded([this] { ChooseLists(); }, FErrorSink); });

    FUnchecked = new QLabel(this);
    FUnchecked->setWordWrap(true);
    FUnchecked->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FPrint = new QPushButton(QStringLiteral("&Drucken…"), this);
    FPrint->setAutoDefault(false);
    connect(FPrint, &QPushButton::clicked, this, [this] { Guarded([this] { PrintFindings(); }, FErrorSink); });
    Arrange(top, {FUnchecked}, FPrint);

    Start(std::move(folder));
    FTable->setFocus(Qt::OtherFocusReason);
}

TfrmContentCheck::~TfrmContentCheck()
{
    // A check under way finishes before the window goes; what it would have said is dropped.
    if (FWorker.joinable())
        FWorker.join();
}

TContentRun TfrmContentCheck::RunContentCheck(const std::string& path, const std::optional<std::string>& folder)
{
    TContentRun run;
    run.Folder = folder;
    const TCodeLists lists = folder ? TCodeLists::Load(*folder) : TCodeLists();
    run.Missing = lists.Missing();
    CheckTransferFileContent(path, run.Check, lists, run.Findings);
    return run;
}

void TfrmContentCheck::Start(std::optional<std::string> folder)
{
    if (FChecking)
        return;
    FChecking = true;
    FFolder = std::move(folder);
    FRun = TContentRun{};
    FRun.Folder = FFolder;
    FFailure.clear();
    FStatus->clear();
    Show();
    auto job = [this, path = FPath, folder = FFolder, checker = FChecker] {
        TContentRun run;
        try {
            run = checker ? checker(path, folder) : RunContentCheck(path, folder);
        } catch (...) {
            run = TContentRun{};
            run.Folder = folder;
            run.Failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this, [this, run = std::move(run)]() mutable { Guarded([this, &run] { Finished(std::move(run)); }, FErrorSink); },
            Qt::QueuedConnection);
    };
    // A 100 MB file takes a while: the window stays responsive meanwhile.
    try {
        FWorker = std::thread(job);
    } catch (const std::system_error&) {
        job(); // no thread to be had: the check runs here
    }
}

void TfrmContentCheck::Finished(TContentRun run)
{
    if (FWorker.joinable())
        FWorker.join();
    FChecking = false;
    FRun = std::move(run);
    if (FRun.Failure) {
        try {
            std::rethrow_exception(FRun.Failure);
        } catch (const std::exception& error) {
            FFailure = ApplicationErrorText(error);
        } catch (...) {
            FFailure = UnknownErrorText();
        }
    }
    Show();
    emit CheckFinished();
}

QString TfrmContentCheck::ListsText() const
{
    if (FRun.Folder)
        return NativeCheckPath(*FRun.Folder);
    QStringList places;
    for (const std::string& candidate : CodeListFolderCandidates(ProgramFolder()))
        places << NativeCheckPath(candidate);
    return QStringLiteral("keine; es gibt keinen Ordner %1").arg(places.join(QStringLiteral(" oder ")));
}

QStringList TfrmContentCheck::UncheckedLines() const
{
    QStringList lines;
    for (const TListCheck* check : FRun.Missing)
        lines << QStringLiteral("%1 (Feld %2, %3)")
                     .arg(Utf8ToQString(ListFileName(check->Field)))
                     .arg(check->Field)
                     .arg(Cp1252ToQString(check->Subject));
    return lines;
}

void TfrmContentCheck::Show()
{
    const bool failed = !FFailure.isEmpty();
    const bool structure = !failed && FRun.Check.MessageCount > 0;
    FListsText->setText(ListsText());
    FChoose->setEnabled(!FChecking);
    FMessagePanel->setVisible(!FChecking && (failed || structure));
    FTable->setVisible(FChecking || !(failed || structure));
    if (failed) {
        FMessageTitle->setText(QStringLiteral(" Der Inhalt wurde nicht geprüft: "));
        FMessages->setPlainText(FFailure);
    } else if (structure) {
        FMessageTitle->setText(QStringLiteral(" Der Inhalt wurde nicht geprüft, denn beim Prüfen der Datei sind die folgenden "
                                              "Fehler aufgetreten: "));
        FMessages->setPlainText(Cp1252ToQString(FRun.Check.MessageText));
    } else {
        FMessages->clear();
    }

    const auto& findings = FRun.Findings;
    if (FChecking)
        FSummary->setText(QStringLiteral("Der Inhalt wird geprüft …"));
    else if (failed || structure)
        FSummary->setText(QStringLiteral("Nicht geprüft."));
    else
        FSummary->setText(findings.empty() ? QStringLiteral("Keine Meldung zum Inhalt.") : Count(findings.size()) + QLatin1Char('.'));
    const QStringList unchecked = UncheckedLines();
    FUnchecked->setText(unchecked.isEmpty() ? QString()
                                            : QStringLiteral("Ohne ihre Kodeliste nicht geprüft: %1.")
                                                  .arg(unchecked.join(QStringLiteral(", "))));
    FUnchecked->setVisible(!FChecking && !failed && !unchecked.isEmpty());
    FShow->setEnabled(!findings.empty());
    FPrint->setEnabled(!FChecking && !failed);

    ShowRows(findings.size(), [this](std::size_t row, int col) { return Cell(FRun.Findings[row], col); });
}

void TfrmContentCheck::ChooseLists()
{
    if (FChecking)
        return;
    // The dialog begins in the folder of the lists, else in that of the file.
    const QString start = FRun.Folder ? CheckPathText(*FRun.Folder) : QFileInfo(CheckPathText(FPath)).absolutePath();
    const TPathSource source = FFolderSource ? FFolderSource : FolderChoice(start);
    const std::optional<std::string> folder = source(this);
    if (!folder)
        return;
    Start(folder);
}

void TfrmContentCheck::ShowRow()
{
    const int row = FTable->Row();
    const auto& all = FRun.Findings;
    if (row < 1 || static_cast<std::size_t>(row) > all.size())
        return;
    const TContentFinding& f = all[static_cast<std::size_t>(row - 1)];
    ShowInMain(f.InvestigationLine, f.Parameter >= 0 ? f.Line : 0);
}

TReport TfrmContentCheck::FindingsReport() const
{
    TReport report;
    report.Title = KReportProgramName;
    report.Printed = ReportPrintedAt();
    if (FChecking || !FFailure.isEmpty())
        return report;
    report.SectionCount = 1;
    QStringList heading = ReportFileHeading(FPath);
    heading << QStringLiteral("Kodelisten: %1").arg(ListsText());
    QStringList summary{FSummary->text()};
    const QStringList unchecked = UncheckedLines();
    if (!unchecked.isEmpty()) {
        summary << QStringLiteral("Ohne ihre Kodeliste nicht geprüft:");
        summary << unchecked;
    }
    QStringList structure;
    if (FRun.Check.MessageCount > 0)
        structure = Cp1252ToQString(FRun.Check.MessageText).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    // The findings are read from the window as the pages are laid out; the print ends before the window can change.
    report.Section = [this, heading, summary, structure](int) {
        TReportSection section;
        section.Heading = heading;
        section.Blocks.push_back({QStringLiteral("Inhaltsprüfung"), FLook.Block, FLook.BlockTitle, summary, {}});
        if (!structure.isEmpty()) {
            section.TextTitle = FMessageTitle->text().trimmed();
            section.TextLines = structure;
            return section;
        }
        const auto& all = FRun.Findings;
        section.Table = PrintedTable(QStringLiteral("Meldungen zum Inhalt (%1):").arg(all.size()), all.size(),
                                     [this](int row, int col) { return Cell(FRun.Findings[static_cast<std::size_t>(row)], col); });
        return section;
    };
    return report;
}
