#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// How assistive technology sees a value label: its name is the label's
// accessible name, which says which field it shows; its value and its text
// are the text shown in the box.
QAccessibleInterface* ValueLabelAccessibleFactory(const QString& className, QObject* object);
