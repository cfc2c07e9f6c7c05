#include "FindingsDialog.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

#include "DisplayText.h"
#include "FieldHints.h"
#include "ReportParts.h"
#include "StringGrid.h"

TFindingsDialog::TFindingsDialog(QWidget* parent, std::span<const TFindingsColumn> columns, const QString& tableName,
                                 const QString& showTip)
    : QDialog(parent),
      FColumns(columns)
{
    // Beside the main window, so that one row after the other can be looked at there.
    setModal(false);

    FSummary = new QLabel(this);
    QFont bold = FSummary->font();
    bold.setBold(true);
    FSummary->setFont(bold);

    // Why nothing could be looked at shows as the main window shows findings: white on red.
    FMessagePanel = new QWidget(this);
    FMessagePanel->setAutoFillBackground(true);
    QPalette red = FMessagePanel->palette();
    red.setColor(QPalette::Window, QColor(255, 0, 0));
    red.setColor(QPalette::WindowText, QColor(255, 255, 255));
    FMessagePanel->setPalette(red);
    auto* messageLayout = new QVBoxLayout(FMessagePanel);
    FMessageTitle = new QLabel(FMessagePanel);
    FMessageTitle->setFont(bold);
    messageLayout->addWidget(FMessageTitle);
    FMessages = new QPlainTextEdit(FMessagePanel);
    FMessages->setReadOnly(true);
    FMessages->setLineWrapMode(QPlainTextEdit::NoWrap);
    messageLayout->addWidget(FMessages);

    FTable = new TStringGrid(this);
    FTable->SetColCount(static_cast<int>(FColumns.size()));
    FTable->SetFixedCols(0);
    FTable->SetRowCount(1);
    FTable->SetFixedRows(1);
    FTable->SetRangeSelect(true);
    for (std::size_t col = 0; col < FColumns.size(); ++col) {
        const QString heading = Utf8ToQString(FColumns[col].Heading);
        FTable->SetCell(static_cast<int>(col), 0, heading);
        FTable->SetColWidth(static_cast<int>(col),
                            std::max(FColumns[col].Width, FTable->fontMetrics().horizontalAdvance(heading) + 6));
    }
    FTable->setAccessibleName(tableName);
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
    connect(print, &QAction::triggered, this, [this] { Guarded([this] { PrintFindings(); }, FErrorSink); });
    addAction(print);

    FShow = new QPushButton(QStringLiteral("&Zeigen"), this);
    FShow->setAutoDefault(false);
    FShow->setToolTip(showTip);
    // The table keeps the focus, so that the arrow keys go on to the next row.
    connect(FShow, &QPushButton::clicked, this, [this] {
        Guarded([this] { ShowRow(); }, FErrorSink);
        FTable->setFocus(Qt::OtherFocusReason);
    });
}

void TFindingsDialog::Arrange(QLayout* top, std::initializer_list<QWidget*> notes, QPushButton* printButton)
{
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FStatus, 1);
    buttons->addWidget(FShow);
    if (printButton != nullptr)
        buttons->addWidget(printButton);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(FSummary);
    for (QWidget* note : notes)
        layout->addWidget(note);
    layout->addWidget(FMessagePanel, 1);
    layout->addWidget(FTable, 1);
    layout->addLayout(buttons);
}

void TFindingsDialog::ShowRows(std::size_t count, std::function<QString(std::size_t row, int col)> cell)
{
    FTable->SetRowCount(static_cast<int>(count) + 1);
    // Rows are drawn as they come into view.
    FTable->SetCellSource([count, cell = std::move(cell)](int col, int row) -> QString {
        if (row < 1 || static_cast<std::size_t>(row) > count)
            return {};
        return cell(static_cast<std::size_t>(row - 1), col);
    });
    if (count > 0)
        FTable->SetRow(1);
    FTable->viewport()->update();
}

TReportTable TFindingsDialog::PrintedTable(const QString& title, std::size_t count,
                                           std::function<QString(int row, int col)> cell) const
{
    TReportTable table;
    table.Title = title;
    table.Colour = FLook.Table;
    table.TitleColour = FLook.TableTitle;
    for (const TFindingsColumn& column : FColumns)
        table.Columns.push_back({Utf8ToQString(column.PrintHeading), Utf8ToQString(column.PrintSecond), column.PrintShare});
    table.RowCount = static_cast<int>(count);
    table.Cell = std::move(cell);
    return table;
}

bool TFindingsDialog::ShowInMain(std::int64_t investigationLine, std::int64_t parameterLine)
{
    if (!FShowInvestigation)
        return false;
    if (!FShowInvestigation(investigationLine, parameterLine)) {
        FStatus->setText(QStringLiteral("Die Untersuchung ab Zeile %1 ist im Hauptfenster nicht zu finden.").arg(investigationLine));
        return false;
    }
    FStatus->setText(parameterLine > 0 ? QStringLiteral("Gezeigt: die Untersuchung ab Zeile %1, ihr Parameter in Zeile %2.")
                                             .arg(investigationLine)
                                             .arg(parameterLine)
                                       : QStringLiteral("Gezeigt: die Untersuchung ab Zeile %1.").arg(investigationLine));
    return true;
}

void TFindingsDialog::CopyRows() { FTable->CopySelection(); }

void TFindingsDialog::PrintFindings()
{
    const TReport report = FindingsReport();
    if (report.SectionCount == 0) {
        QApplication::beep();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, ReportDocumentName(PrintedPath()));
    if (FPrintDialog(printer, this))
        SendReportToPrinter(report, printer, FErrorSink);
}

QString TFindingsDialog::CutOffText(int col, int row) const
{
    if (col < 0 || col >= FTable->ColCount() || row < FTable->FixedRows() || row >= FTable->RowCount())
        return {};
    const QString text = FTable->Cell(col, row);
    // The grid draws a cell's text 2 pixels in from its left edge.
    const int room = FTable->ColWidth(col) - 2;
    return FTable->fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

QPoint TFindingsDialog::PlaceBeside(const QRect& mainFrame, const QSize& size, const QRect& available)
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

void TFindingsDialog::ShowTableMenu(const QPoint& position)
{
    const bool hasRows = HasRows();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* show = menu->addAction(QStringLiteral("Zeigen"), this, [this] { Guarded([this] { ShowRow(); }, FErrorSink); });
    show->setEnabled(hasRows);
    menu->setDefaultAction(show);
    QAction* copy = menu->addAction(QStringLiteral("Kopieren"), this, [this] { Guarded([this] { CopyRows(); }, FErrorSink); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(hasRows);
    menu->addSeparator();
    QAction* print = menu->addAction(QStringLiteral("Drucken…"), this, [this] { Guarded([this] { PrintFindings(); }, FErrorSink); });
    print->setShortcut(QKeySequence::Print);
    print->setEnabled(CanPrint());
    // A menu asked for by the keyboard opens at the current row, which may lie outside the visible rows.
    const QRect area = FTable->viewport()->rect();
    const QPoint inside(std::clamp(position.x(), area.left(), area.right()), std::clamp(position.y(), area.top(), area.bottom()));
    menu->popup(FTable->viewport()->mapToGlobal(inside));
}

void TFindingsDialog::keyPressEvent(QKeyEvent* event)
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

bool TFindingsDialog::eventFilter(QObject* watched, QEvent* event)
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
