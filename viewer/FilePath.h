#pragma once

#include <QString>

#include <string>

// A path is handed around as the bytes that the file system takes (any bytes
// on POSIX, UTF-8 on Windows), so that a name that is no valid text still
// opens. It becomes text only to be shown.

// The path as text for the title and messages; bytes that are no text show
// as replacement characters.
QString ShownPath(const std::string& path);

// Text that names a file (typed, or from a toolkit dialog) as a path.
std::string NativePath(const QString& path);

// The toolkit lists file names as text, so a name whose bytes are no valid
// text comes back from its dialog with replacement characters. Finds the
// entries on disk that show as the chosen text, folder by folder; where a
// shown name fits no entry or several, that part stays as shown.
std::string ChosenPath(const QString& shown);
