#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>

class QWidget;

// Where the one file of a run comes from. Start-up chooses the source; the
// main window asks it once, when it first becomes active. The path is in the
// file system's bytes (FilePath.h); no value means the user chose no file.
using TPathSource = std::function<std::optional<std::string>(QWidget* parent)>;

// The path exactly as given, such as the first command-line argument.
TPathSource GivenPath(std::string path);

// The open dialog, starting in startFolder.
TPathSource OpenDialogChoice(QString startFolder);

// Shows the open dialog modally; no value when it is cancelled.
std::optional<std::string> ChooseTransferFile(QWidget* parent, const QString& startFolder);

// A folder of code lists, chosen in the system's folder dialog starting in
// startFolder; the source gives its path as the check takes it.
TPathSource FolderChoice(QString startFolder);
std::optional<std::string> ChooseCodeListFolder(QWidget* parent, const QString& startFolder);
