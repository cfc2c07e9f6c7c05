#pragma once

#include <QString>

#include <string>

// The toolkit lists file names as text, so a name whose bytes are no valid
// text comes back from its dialog with replacement characters. Finds the
// entries on disk that show as the chosen text, folder by folder, and gives
// the path as the check takes it (CheckPath.h); where a shown name fits no
// entry or several, that part stays as shown.
std::string ChosenPath(const QString& shown);
