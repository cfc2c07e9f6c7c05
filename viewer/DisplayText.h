#pragma once

#include <QString>

#include <string_view>

// Windows-1252 bytes of a transfer file as text to show; every byte becomes
// exactly one character.
QString Cp1252ToQString(std::string_view bytes);

// The program's own UTF-8 texts (captions, messages, exception texts) to show.
QString Utf8ToQString(std::string_view utf8);
