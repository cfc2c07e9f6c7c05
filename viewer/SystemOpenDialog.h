#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// The system's own file-open dialog (Windows only; Linux builds use the
// toolkit's). Modal to owner's window, titled title, filters
// as "Text (*.ext)", the first one selected, starting in folder. It keeps
// nothing: no recent files, no current folder changed. The chosen path, or
// no value when the user cancels.
std::optional<QString> SystemOpenDialog(QWidget* owner, const QString& title, const QStringList& filters,
                                        const QString& folder);

// The system's own folder dialog (Windows only), modal to owner's window,
// titled title, starting in folder; the chosen folder, or no value.
std::optional<QString> SystemFolderDialog(QWidget* owner, const QString& title, const QString& folder);
