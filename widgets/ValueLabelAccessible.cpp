#include "ValueLabelAccessible.h"

#include "ValueLabel.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace {

class TValueLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TValueLabelAccessible(TValueLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) { }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName();
        case QAccessible::Value:
            return Shown();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The text is read, never selected or edited.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override { }
    QString text(int startOffset, int endOffset) const override
    {
        const QString shown = Shown();
        const auto start = std::clamp<qsizetype>(startOffset, 0, shown.size());
        const auto end = endOffset < 0 ? shown.size() : std::clamp<qsizetype>(endOffset, start, shown.size());
        return shown.mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(Shown().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override { }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        return QString();
    }

private:
    QString Shown() const { return static_cast<const TValueLabel*>(widget())->text(); }
};

} // namespace

QAccessibleInterface* ValueLabelAccessibleFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("TValueLabel") || !object->isWidgetType())
        return nullptr;
    return new TValueLabelAccessible(static_cast<TValueLabel*>(object));
}
