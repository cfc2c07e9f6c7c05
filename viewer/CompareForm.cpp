#include "CompareForm.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>

#include <array>
#include <utility>

#include "CheckPath.h"
#include "DifferenceReport.h"
#include "DisplayText.h"
#include "ReportParts.h"
#include "StringGrid.h"

namespace {

constexpr std::array<TFindingsColumn, 8> Columns{{
    {"Untersuchung", 200, "Untersuchung", "Schlüssel", 150},
    {"Entnahmestelle (16)", 120, "Entnahmestelle", "Feld 16", 95},
    {"Probenahme (22)", 110, "Probenahme", "Feld 22", 85},
    {"Art", 150, "Art", "", 105},
    {"Feld", 320, "Feld", "", 210},
    {"Alt", 115, "Alt", "", 90},
    {"Neu", 115, "Neu", "", 90},
    {"Zeilen", 165, "Zeilen", "in Datei", 105},
}};

// What the "Feld" column says: the field, and for a parameter which one.
QString FieldCell(const TDifference& d)
{
    QString cell;
    if (d.IsParameter)
        cell = QStringLiteral("Parameter %1 „%2“").arg(Cp1252ToQString(d.ParameterId), Cp1252ToQString(d.ParameterText));
    if (d.Kind == EDifference::FieldChanged)
        cell += (cell.isEmpty() ? QString() : QStringLiteral(", ")) + Utf8ToQString(FieldName(d.Field));
    return cell;
}

QString Cell(const TDifference& d, int col)
{
    switch (col) {
    case 0:
        return Utf8ToQString(KeyWithOldText(d));
    case 1:
        return Cp1252ToQString(d.SamplingPoint);
    case 2:
        return Cp1252ToQString(d.SamplingTime);
    case 3:
        return Utf8ToQString(KindText(d.Kind));
    case 4:
        return FieldCell(d);
    case 5:
        return Cp1252ToQString(d.Old);
    case 6:
        return Cp1252ToQString(d.New);
    default:
        return Utf8ToQString(LinesText(d));
    }
}

QString MessagesOf(const std::string& path, const TSamplingData& check)
{
    if (check.MessageCount == 0)
        return {};
    return QStringLiteral("Datei %1:\r\n").arg(CheckPathText(path)) + Cp1252ToQString(check.MessageText) + QStringLiteral("\r\n");
}

QString FileName(const std::string& path) { return QFileInfo(CheckPathText(path)).fileName(); }

} // namespace

TfrmCompare::TfrmCompare(std::string shownPath, std::string otherPath, QWidget* parent, TComparer comparer)
    : TFindingsDialog(parent, Columns, QStringLiteral("Unterschiede"),
                      QStringLiteral("Die Untersuchung der Zeile im Hauptfenster zeigen (Eingabetaste, Doppelklick)")),
      FShownPath(std::move(shownPath)),
      FOtherPath(std::move(otherPath)),
      FComparer(std::move(comparer))
{
    setWindowTitle(QStringLiteral("Morvask-Betrachter  -  Vergleich"));
    resize(1340, 480);

    auto* paths = new QGridLayout;
    paths->addWidget(new QLabel(QStringLiteral("Ältere Datei (alt):"), this), 0, 0);
    paths->addWidget(new QLabel(QStringLiteral("Neuere Datei (neu):"), this), 1, 0);
    FOldPath = new QLabel(this);
    FNewPath = new QLabel(this);
    FOrderText = new QLabel(this);
    for (QLabel* path : {FOldPath, FNewPath, FOrderText})
        path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    paths->addWidget(FOldPath, 0, 1);
    paths->addWidget(FNewPath, 1, 1);
    paths->addWidget(FOrderText, 2, 0, 1, 2);
    paths->setColumnStretch(1, 1);
    FSwap = new QPushButton(QStringLiteral("&Rollen tauschen"), this);
    FSwap->setAutoDefault(false);
    paths->addWidget(FSwap, 0, 2, 2, 1);
    connect(FSwap, &QPushButton::clicked, this, [this] { Guarded([this] { SwapRoles(); }, FErrorSink); });

    FNote = new QLabel(this);
    FNote->setWordWrap(true);
    FMessageTitle->setText(QStringLiteral(" Die Dateien werden nicht verglichen, denn beim Prüfen sind die folgenden Fehler aufgetreten: "));
    Arrange(paths, {FNote});

    // Without a rule that tells, the other file counts as the earlier one.
    FOrder = OrderOfTransmissions(FOtherPath, FShownPath);
    Compare(FOrder.FirstIsOlder);
    FTable->setFocus(Qt::OtherFocusReason);
}

void TfrmCompare::Compare(bool shownIsNew)
{
    const std::string& oldPath = shownIsNew ? FOtherPath : FShownPath;
    const std::string& newPath = shownIsNew ? FShownPath : FOtherPath;
    // A failure leaves the window as it was. Large files take a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    TComparison comparison = FComparer ? FComparer(oldPath, newPath) : CompareTransferFiles(oldPath, newPath);
    FComparison = std::move(comparison);
    FShownIsNew = shownIsNew;
    FOldPath->setText(CheckPathText(oldPath));
    FNewPath->setText(CheckPathText(newPath));
    const QString rule = Utf8ToQString(OrderRuleText(FOrder.Rule));
    FOrderText->setText(FShownIsNew == FOrder.FirstIsOlder
                            ? QStringLiteral("Reihenfolge: %1").arg(rule)
                            : QStringLiteral("Reihenfolge: von Hand getauscht; bestimmt war sie %1").arg(rule));
    FStatus->clear();
    Show();
}

void TfrmCompare::Show()
{
    const TComparison& c = FComparison;
    const bool compared = c.Compared;
    FMessagePanel->setVisible(!compared);
    FTable->setVisible(compared);
    FShow->setEnabled(compared && !c.Differences.empty());
    FMessages->setPlainText(MessagesOf(OldPath(), c.OldCheck) + MessagesOf(NewPath(), c.NewCheck));
    FSummary->setText(compared ? Utf8ToQString(SummaryText(c)) : QStringLiteral("Nicht verglichen: eine Datei hat Meldungen."));
    std::string note = RepeatedKeyNote(c);
    if (const std::string bounded = BoundedKeyNote(c); !bounded.empty())
        note += (note.empty() ? "" : "\n") + bounded;
    FNote->setText(Utf8ToQString(note));
    FNote->setVisible(!note.empty());

    ShowRows(c.Differences.size(), [this](std::size_t row, int col) { return Cell(FComparison.Differences[row], col); });
}

void TfrmCompare::SwapRoles() { Compare(!FShownIsNew); }

void TfrmCompare::ShowRow()
{
    const int row = FTable->Row();
    const auto& all = FComparison.Differences;
    if (!FComparison.Compared || row < 1 || static_cast<std::size_t>(row) > all.size())
        return;
    const TDifference& d = all[static_cast<std::size_t>(row - 1)];
    const std::int64_t investigation = FShownIsNew ? d.NewInvestigationLine : d.OldInvestigationLine;
    const std::int64_t line = FShownIsNew ? d.NewLine : d.OldLine;
    const QString other = FShownIsNew ? QStringLiteral("älteren") : QStringLiteral("neueren");
    if (investigation == 0) {
        const std::int64_t otherLine = FShownIsNew ? d.OldInvestigationLine : d.NewInvestigationLine;
        FStatus->setText(QStringLiteral("Diese Untersuchung gibt es nur in der %1 Datei %2 (ab Zeile %3), nicht in der Datei "
                                        "des Hauptfensters.")
                             .arg(other, FileName(FOtherPath), QString::number(otherLine)));
        QApplication::beep();
        return;
    }
    if (d.IsParameter && line == 0) {
        const std::int64_t otherLine = FShownIsNew ? d.OldLine : d.NewLine;
        if (ShowInMain(investigation, 0))
            FStatus->setText(QStringLiteral("Gezeigt: die Untersuchung ab Zeile %1. Den Parameter %2 gibt es nur in der %3 Datei "
                                            "(Zeile %4).")
                                 .arg(QString::number(investigation), Cp1252ToQString(d.ParameterId), other, QString::number(otherLine)));
        return;
    }
    ShowInMain(investigation, d.IsParameter ? line : 0);
}

TReport TfrmCompare::FindingsReport() const
{
    TReport report;
    report.Title = KReportProgramName;
    report.Printed = ReportPrintedAt();
    if (!FComparison.Compared)
        return report;
    report.SectionCount = 1;
    QStringList heading{QStringLiteral("Ältere Datei (alt): %1").arg(NativeCheckPath(OldPath())),
                        QStringLiteral("Neuere Datei (neu): %1").arg(NativeCheckPath(NewPath())), FOrderText->text()};
    QStringList summary{FSummary->text()};
    if (!FNote->text().isEmpty())
        summary << FNote->text().split(QLatin1Char('\n'));
    // The differences are read from the window as the pages are laid out; the print ends before the window can change.
    report.Section = [this, heading, summary](int) {
        TReportSection section;
        section.Heading = heading;
        section.Blocks.push_back({QStringLiteral("Vergleich"), FLook.Block, FLook.BlockTitle, summary, {}});
        const auto& all = FComparison.Differences;
        section.Table = PrintedTable(QStringLiteral("Unterschiede (%1):").arg(all.size()), all.size(), [this](int row, int col) {
            return Cell(FComparison.Differences[static_cast<std::size_t>(row)], col);
        });
        return section;
    };
    return report;
}
