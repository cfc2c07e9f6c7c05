#pragma once

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest>

#include <algorithm>

// A context menu as a keyboard user reaches it, for the window tests.
namespace ContextMenu {

// The action of the menu open now that is called text.
inline QAction* MenuAction(const QString& text)
{
    QMenu* menu = nullptr;
    [&] { QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr); }();
    if (menu == nullptr)
        return nullptr;
    const QList<QAction*> actions = menu->actions();
    const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == text; });
    return found == actions.end() ? nullptr : *found;
}

// Opens the view's menu by the menu key, triggers the enabled action called text and closes the menu.
inline bool Choose(QAbstractScrollArea* view, const QString& text)
{
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), view->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view->viewport(), &menuKey);
    QAction* action = MenuAction(text);
    const bool chosen = action != nullptr && action->isEnabled();
    if (chosen)
        action->trigger();
    if (QWidget* menu = QApplication::activePopupWidget())
        menu->close();
    return chosen;
}

} // namespace ContextMenu
