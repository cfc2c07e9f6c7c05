#include "Main.h"

#include "ui_Main.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include <algorithm>

#include "ErrorDisplay.h"
#include "StringGrid.h"
#include "ValueLabel.h"

namespace {

// A menu that lives while it is open; it goes away by itself once closed.
QMenu* NewMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

// A menu asked for by the keyboard opens at the current row, which may lie
// outside the visible rows; it stays within the grid.
QPoint InsideViewport(const TStringGrid* grid, const QPoint& position)
{
    const QRect area = grid->viewport()->rect();
    return QPoint(std::clamp(position.x(), area.left(), area.right()),
                  std::clamp(position.y(), area.top(), area.bottom()));
}

} // namespace

void TMainForm::SetUpClipboard()
{
    for (TStringGrid* grid : {ui->sgObjectList, ui->sgSamples}) {
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& position) {
            ShowGridMenu(grid, grid->viewport()->mapToGlobal(InsideViewport(grid, position)));
        });
    }
    for (TValueLabel* label : ui->gbObjectData->findChildren<TValueLabel*>()) {
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(label, &QWidget::customContextMenuRequested, this,
                [this, label](const QPoint& position) { ShowValueMenu(label, label->mapToGlobal(position)); });
    }
}

void TMainForm::ShowGridMenu(TStringGrid* grid, const QPoint& position)
{
    const bool hasRows = grid->RowCount() > grid->FixedRows();
    QMenu* menu = NewMenu(this);
    QAction* copy = menu->addAction(QStringLiteral("Kopieren"), this, [this, grid] { Guarded([grid] { grid->CopySelection(); }, FErrorSink); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(hasRows);
    if (grid == ui->sgSamples) {
        QAction* all = menu->addAction(QStringLiteral("Alles markieren"), this,
                                       [this, grid] { Guarded([grid] { grid->SelectAllRows(); }, FErrorSink); });
        all->setShortcut(QKeySequence::SelectAll);
        all->setEnabled(hasRows);
    } else {
        QAction* all = menu->addAction(QStringLiteral("Alle Zeilen kopieren"), this,
                                       [this, grid] { Guarded([grid] { grid->CopyAllRows(); }, FErrorSink); });
        all->setEnabled(hasRows);
        QAction* compare = menu->addAction(QStringLiteral("Mit anderer Datei vergleichen…"), this,
                                           [this] { Guarded([this] { CompareWithOtherFile(); }, FErrorSink); });
        compare->setEnabled(!FFileName.empty());
        QAction* content = menu->addAction(QStringLiteral("Inhalt prüfen…"), this,
                                           [this] { Guarded([this] { CheckContent(); }, FErrorSink); });
        content->setEnabled(!FFileName.empty());
    }
    AddPrintActions(menu, true);
    menu->popup(position);
}

void TMainForm::ShowValueMenu(QLabel* label, const QPoint& position)
{
    QMenu* menu = NewMenu(this);
    QAction* copy = menu->addAction(QStringLiteral("Wert kopieren"), this, [this, label] {
        Guarded([label] { QGuiApplication::clipboard()->setText(label->text(), QClipboard::Clipboard); }, FErrorSink);
    });
    // An empty box would only empty the clipboard.
    copy->setEnabled(!label->text().isEmpty());
    menu->popup(position);
}
