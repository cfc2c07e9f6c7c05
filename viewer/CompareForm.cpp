#include "CompareForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

#include "CheckPath.h"
#include "DifferenceReport.h"
#include "DisplayText.h"
#include "FieldHints.h"
#include "ReportParts.h"
#include "StringGrid.h"

namespace {

// Widths on screen in pixels, a heading never narrower than its text; on
// paper shares of the page, under two heading rows as the analysis grid has.
struct TColumn {
    const char* Heading;
    int Width;
    const char* PrintHeading;
    const char* PrintSecond;
    int PrintShare;
};
constexpr std::array<TColumn, 8> Columns{{
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

QString NativePath(const std::string& path)
{
    return QDir::toNativeSeparators(QFileInfo(CheckPathText(path)).absoluteFilePath());
}

QString FileName(const std::string& path) { return QFileInfo(CheckPathText(path)).fileName(); }

} // namespace

TfrmCompare::TfrmCompare(std::string shownPath, std::string otherPath, QWidget* parent, TComparer comparer)
    : QDialog(parent),
      FShownPath(std::move(shownPath)),
      FOtherPath(std::move(otherPath)),
      FComparer(std::move(comparer))
{
    setWindowTitle(QStringLiteral("Morvask-Betrachter  -  Vergleich"));
    // Beside the main window, so that one difference after the other can be looked at there.
    setModal(false);
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

    FSummary = new QLabel(this);
    QFont bold = FSummary->font();
    bold.setBold(true);
    FSummary->setFont(bold);
    FNote = new QLabel(this);
    FNote->setWordWrap(true);

    // Findings show as the main window shows them: white on red.
    FMessagePanel = new QWidget(this);
    FMessagePanel->setAutoFillBackground(true);
    QPalette red = FMessagePanel->palette();
    red.setColor(QPalette::Window, QColor(255, 0, 0));
    red.setColor(QPalette::WindowText, QColor(255, 255, 255));
    FMessagePanel->setPalette(red);
    auto* messageLayout = new QVBoxLayout(FMessagePanel);
    auto* messageTitle = new QLabel(QStringLiteral(" Die Dateien werden nicht verglichen, denn beim Prüfen sind die folgenden Fehler aufgetreten: "),
                                    FMessagePanel);
    messageTitle->setFont(bold);
    messageLayout->addWidget(messageTitle);
    FMessages = new QPlainTextEdit(FMessagePanel);
    FMessages->setReadOnly(true);
    FMessages->setLineWrapMode(QPlainTextEdit::NoWrap);
    messageLayout->addWidget(FMessages);

    FTable = new TStringGrid(this);
    FTable->SetColCount(static_cast<int>(Columns.size()));
    FTable->SetFixedCols(0);
    FTable->SetRowCount(1);
    FTable->SetFixedRows(1);
    FTable->SetRangeSelect(true);
    for (std::size_t col = 0; col < Columns.size(); ++col) {
        FTable->SetCell(static_cast<int>(col), 0, Utf8ToQString(Columns[col].Heading));
        const int heading = FTable->fontMetrics().horizontalAdvance(Utf8ToQString(Columns[col].Heading)) + 6;
        FTable->SetColWidth(static_cast<int>(col), std::max(Columns[col].Width, heading));
    }
    FTable->setAccessibleName(QStringLiteral("Unterschiede"));
    FTable->viewport()->installEventFilter(this);
    FTable->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FTable, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        Guarded([this, position] { ShowTableMenu(position); }, FErrorSink);
    });

    FStatus = new QLabel(this);
    FStatus->setWordWrap(true);
    FStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FStatus->setAccessibleName(QStringLiteral("Hinweis zur gezeigten Zeile"));

    auto* print = new QAction(QStringLiteral("Drucken…"), this);
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, [this] { Guarded([this] { PrintDifferences(); }, FErrorSink); });
    addAction(print);

    FShow = new QPushButton(QStringLiteral("&Zeigen"), this);
    FShow->setAutoDefault(false);
    FShow->setToolTip(QStringLiteral("Die Untersuchung der Zeile im Hauptfenster zeigen (Eingabetaste, Doppelklick)"));
    // The table keeps the focus, so that the arrow keys go on to the next difference.
    connect(FShow, &QPushButton::clicked, this, [this] {
        Guarded([this] { ShowRow(); }, FErrorSink);
        FTable->setFocus(Qt::OtherFocusReason);
    });
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FStatus, 1);
    buttons->addWidget(FShow);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(paths);
    layout->addWidget(FSummary);
    layout->addWidget(FNote);
    layout->addWidget(FMessagePanel, 1);
    layout->addWidget(FTable, 1);
    layout->addLayout(buttons);

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

    const auto& differences = c.Differences;
    FTable->SetRowCount(static_cast<int>(differences.size()) + 1);
    // Rows are drawn as they come into view.
    FTable->SetCellSource([this](int col, int row) -> QString {
        const auto& all = FComparison.Differences;
        if (row < 1 || static_cast<std::size_t>(row) > all.size())
            return {};
        return Cell(all[static_cast<std::size_t>(row - 1)], col);
    });
    if (!differences.empty())
        FTable->SetRow(1);
    FTable->viewport()->update();
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
    if (!FShowInvestigation)
        return;
    if (!FShowInvestigation(investigation, d.IsParameter ? line : 0)) {
        FStatus->setText(QStringLiteral("Die Untersuchung ab Zeile %1 ist im Hauptfenster nicht zu finden.").arg(investigation));
        return;
    }
    if (d.IsParameter && line == 0) {
        const std::int64_t otherLine = FShownIsNew ? d.OldLine : d.NewLine;
        FStatus->setText(QStringLiteral("Gezeigt: die Untersuchung ab Zeile %1. Den Parameter %2 gibt es nur in der %3 Datei "
                                        "(Zeile %4).")
                             .arg(QString::number(investigation), Cp1252ToQString(d.ParameterId), other, QString::number(otherLine)));
        return;
    }
    FStatus->setText(d.IsParameter ? QStringLiteral("Gezeigt: die Untersuchung ab Zeile %1, ihr Parameter in Zeile %2.")
                                         .arg(investigation)
                                         .arg(line)
                                   : QStringLiteral("Gezeigt: die Untersuchung ab Zeile %1.").arg(investigation));
}

void TfrmCompare::CopyRows() { FTable->CopySelection(); }

TReport TfrmCompare::DifferencesReport() const
{
    TReport report;
    report.Title = KReportProgramName;
    report.Printed = ReportPrintedAt();
    if (!FComparison.Compared)
        return report;
    report.SectionCount = 1;
    const TCompareLook look = FLook;
    QStringList heading{QStringLiteral("Ältere Datei (alt): %1").arg(NativePath(OldPath())),
                        QStringLiteral("Neuere Datei (neu): %1").arg(NativePath(NewPath())), FOrderText->text()};
    QStringList summary{FSummary->text()};
    if (!FNote->text().isEmpty())
        summary << FNote->text().split(QLatin1Char('\n'));
    // The differences are read from the window as the pages are laid out; the print ends before the window can change.
    report.Section = [this, look, heading, summary](int) {
        TReportSection section;
        section.Heading = heading;
        section.Blocks.push_back({QStringLiteral("Vergleich"), look.Block, look.BlockTitle, summary, {}});
        const auto& all = FComparison.Differences;
        section.Table.Title = QStringLiteral("Unterschiede (%1):").arg(all.size());
        section.Table.Colour = look.Table;
        section.Table.TitleColour = look.TableTitle;
        for (const TColumn& column : Columns)
            section.Table.Columns.push_back(
                {Utf8ToQString(column.PrintHeading), Utf8ToQString(column.PrintSecond), column.PrintShare});
        section.Table.RowCount = static_cast<int>(all.size());
        section.Table.Cell = [this](int row, int col) {
            return Cell(FComparison.Differences[static_cast<std::size_t>(row)], col);
        };
        return section;
    };
    return report;
}

void TfrmCompare::PrintDifferences()
{
    const TReport report = DifferencesReport();
    if (report.SectionCount == 0) {
        QApplication::beep();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, ReportDocumentName(NewPath()));
    if (FPrintDialog(printer, this))
        SendReportToPrinter(report, printer, FErrorSink);
}

QString TfrmCompare::CutOffText(int col, int row) const
{
    if (col < 0 || col >= FTable->ColCount() || row < FTable->FixedRows() || row >= FTable->RowCount())
        return {};
    const QString text = FTable->Cell(col, row);
    // The grid draws a cell's text 2 pixels in from its left edge.
    const int room = FTable->ColWidth(col) - 2;
    return FTable->fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

QPoint TfrmCompare::PlaceBeside(const QRect& mainFrame, const QSize& size, const QRect& available)
{
    const std::array<QPoint, 4> candidates{QPoint(mainFrame.right() + 1, mainFrame.top()),
                                           QPoint(mainFrame.left() - size.width(), mainFrame.top()),
                                           QPoint(mainFrame.left(), mainFrame.bottom() + 1),
                                           QPoint(mainFrame.left(), mainFrame.top() - size.height())};
    QPoint best;
    long long least = -1;
    for (const QPoint& candidate : candidates) {
        // Within the screen; a window larger than it keeps its top left corner there.
        const QPoint at(std::max(available.left(), std::min(candidate.x(), available.right() + 1 - size.width())),
                        std::max(available.top(), std::min(candidate.y(), available.bottom() + 1 - size.height())));
        const QRect covered = QRect(at, size).intersected(mainFrame);
        const long long area = covered.isEmpty() ? 0 : static_cast<long long>(covered.width()) * covered.height();
        if (least < 0 || area < least) {
            least = area;
            best = at;
        }
    }
    return best;
}

void TfrmCompare::ShowTableMenu(const QPoint& position)
{
    const bool hasRows = FComparison.Compared && !FComparison.Differences.empty();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* show = menu->addAction(QStringLiteral("Zeigen"), this, [this] { Guarded([this] { ShowRow(); }, FErrorSink); });
    show->setEnabled(hasRows);
    menu->setDefaultAction(show);
    QAction* copy = menu->addAction(QStringLiteral("Kopieren"), this, [this] { Guarded([this] { CopyRows(); }, FErrorSink); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(hasRows);
    menu->addSeparator();
    QAction* print =
        menu->addAction(QStringLiteral("Drucken…"), this, [this] { Guarded([this] { PrintDifferences(); }, FErrorSink); });
    print->setShortcut(QKeySequence::Print);
    print->setEnabled(FComparison.Compared);
    // A menu asked for by the keyboard opens at the current row, which may lie outside the visible rows.
    const QRect area = FTable->viewport()->rect();
    const QPoint inside(std::clamp(position.x(), area.left(), area.right()), std::clamp(position.y(), area.top(), area.bottom()));
    menu->popup(FTable->viewport()->mapToGlobal(inside));
}

void TfrmCompare::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // Enter presses a focused button, as on the classic desktop; elsewhere it shows the row.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr) {
            if (button->isEnabled())
                button->animateClick();
            return;
        }
        if (FTable->isVisible()) {
            Guarded([this] { ShowRow(); }, FErrorSink);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

bool TfrmCompare::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != FTable->viewport())
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonDblClick &&
        FTable->rowAt(static_cast<QMouseEvent*>(event)->position().toPoint().y()) >= 0) {
        // The grid selects on the second press as on the first; the row is shown after.
        QMetaObject::invokeMethod(
            this, [this] { Guarded([this] { ShowRow(); }, FErrorSink); }, Qt::QueuedConnection);
    } else if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int col = FTable->columnAt(help->pos().x());
        const int body = FTable->rowAt(help->pos().y());
        const QString text = body < 0 ? QString() : CutOffText(col, body + FTable->FixedRows());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), LiteralToolTip(WrapText(text)), FTable->viewport(),
                               FTable->visualRect(FTable->model()->index(body, col)));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
