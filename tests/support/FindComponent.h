#pragma once

#include <QString>
#include <QWidget>

// A window's component by its name; a test that names a missing one stops at
// once rather than failing later on a null pointer.
template <class T = QWidget>
T* FindComponent(const QWidget& form, const char* name)
{
    T* widget = form.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr)
        qFatal("no component %s", name);
    return widget;
}
