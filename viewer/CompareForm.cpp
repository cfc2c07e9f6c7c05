#include "CompareForm.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <array>
#include <utility>

#include "CheckPath.h"
#include "Cp1252.h"
#include "DifferenceReport.h"
#include "ErrorDisplay.h"
#include "StringGrid.h"

namespace {

struct TColumn {
    const char* Heading;
    int Width;
};
constexpr std::array<TColumn, 6> Columns{{
    {"Untersuchung", 200},
    {"Art", 150},
    {"Feld", 330},
    {"Alt", 120},
    {"Neu", 120},
    {"Zeilen", 170},
}};

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString Cp1252(const std::string& text) { return Utf8(Cp1252ToUtf8(text)); }

// What the "Feld" column says: the field, and for a parameter which one.
QString FieldCell(const TDifference& d)
{
    QString cell;
    if (d.IsParameter)
        cell = QStringLiteral("Parameter %1 „%2“").arg(Cp1252(d.ParameterId), Cp1252(d.ParameterText));
    if (d.Kind == EDifference::FieldChanged)
        cell += (cell.isEmpty() ? QString() : QStringLiteral(", ")) + Utf8(FieldName(d.Field));
    return cell;
}

QString MessagesOf(const std::string& path, const TSamplingData& check)
{
    if (check.MessageCount == 0)
        return {};
    return QStringLiteral("Datei %1:\r\n").arg(CheckPathText(path)) + Cp1252(check.MessageText) + QStringLiteral("\r\n");
}

} // namespace

TfrmCompare::TfrmCompare(std::string shownPath, std::string otherPath, QWidget* parent)
    : QDialog(parent),
      FShownPath(std::move(shownPath)),
      FOtherPath(std::move(otherPath))
{
    setWindowTitle(QStringLiteral("Morvask-Betrachter  -  Vergleich"));
    setModal(true);
    resize(1140, 560);

    auto* paths = new QGridLayout;
    paths->addWidget(new QLabel(QStringLiteral("Ältere Datei (alt):"), this), 0, 0);
    paths->addWidget(new QLabel(QStringLiteral("Neuere Datei (neu):"), this), 1, 0);
    FOldPath = new QLabel(this);
    FNewPath = new QLabel(this);
    for (QLabel* path : {FOldPath, FNewPath})
        path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    paths->addWidget(FOldPath, 0, 1);
    paths->addWidget(FNewPath, 1, 1);
    paths->setColumnStretch(1, 1);
    FSwap = new QPushButton(QStringLiteral("&Rollen tauschen"), this);
    FSwap->setAutoDefault(false);
    paths->addWidget(FSwap, 0, 2, 2, 1);
    connect(FSwap, &QPushButton::clicked, this, [this] { Guarded([this] { SwapRoles(); }); });

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
        FTable->SetCell(static_cast<int>(col), 0, QString::fromUtf8(Columns[col].Heading));
        FTable->SetColWidth(static_cast<int>(col), Columns[col].Width);
    }
    FTable->viewport()->installEventFilter(this);

    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(paths);
    layout->addWidget(FSummary);
    layout->addWidget(FNote);
    layout->addWidget(FMessagePanel, 1);
    layout->addWidget(FTable, 1);
    layout->addLayout(buttons);

    Compare(true);
    FTable->setFocus(Qt::OtherFocusReason);
}

void TfrmCompare::Compare(bool shownIsNew)
{
    const std::string& oldPath = shownIsNew ? FOtherPath : FShownPath;
    const std::string& newPath = shownIsNew ? FShownPath : FOtherPath;
    // A failure leaves the window as it was. Large files take a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    TComparison comparison = CompareTransferFiles(oldPath, newPath);
    FComparison = std::move(comparison);
    FShownIsNew = shownIsNew;
    FOldPath->setText(CheckPathText(oldPath));
    FNewPath->setText(CheckPathText(newPath));
    Show();
}

void TfrmCompare::Show()
{
    const TComparison& c = FComparison;
    const bool compared = c.Compared;
    FMessagePanel->setVisible(!compared);
    FTable->setVisible(compared);
    FMessages->setPlainText(MessagesOf(FShownIsNew ? FOtherPath : FShownPath, c.OldCheck) +
                            MessagesOf(FShownIsNew ? FShownPath : FOtherPath, c.NewCheck));
    FSummary->setText(compared ? Utf8(SummaryText(c)) : QStringLiteral("Nicht verglichen: eine Datei hat Meldungen."));
    const std::string note = RepeatedKeyNote(c);
    FNote->setText(Utf8(note));
    FNote->setVisible(!note.empty());

    const auto& differences = c.Differences;
    FTable->SetRowCount(static_cast<int>(differences.size()) + 1);
    // Rows are drawn as they come into view.
    FTable->SetCellSource([this](int col, int row) -> QString {
        const auto& all = FComparison.Differences;
        if (row < 1 || static_cast<std::size_t>(row) > all.size())
            return {};
        const TDifference& d = all[static_cast<std::size_t>(row - 1)];
        switch (col) {
        case 0:
            return Utf8(KeyText(d.Key));
        case 1:
            return Utf8(std::string(KindText(d.Kind)));
        case 2:
            return FieldCell(d);
        case 3:
            return Cp1252(d.Old);
        case 4:
            return Cp1252(d.New);
        default:
            return Utf8(LinesText(d));
        }
    });
    if (!differences.empty())
        FTable->SetRow(1);
    FTable->viewport()->update();
}

void TfrmCompare::SwapRoles() { Compare(!FShownIsNew); }

void TfrmCompare::ChooseRow()
{
    const int row = FTable->Row();
    const auto& all = FComparison.Differences;
    if (!FComparison.Compared || row < 1 || static_cast<std::size_t>(row) > all.size())
        return;
    const TDifference& d = all[static_cast<std::size_t>(row - 1)];
    FChosenLine = FShownIsNew ? d.NewInvestigationLine : d.OldInvestigationLine;
    accept();
}

void TfrmCompare::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && FTable->isVisible()) {
        Guarded([this] { ChooseRow(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmCompare::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FTable->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        FTable->rowAt(static_cast<QMouseEvent*>(event)->position().toPoint().y()) >= FTable->FixedRows()) {
        // The grid selects on the second press as on the first; the row is chosen after.
        QMetaObject::invokeMethod(
            this, [this] { Guarded([this] { ChooseRow(); }); }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}
