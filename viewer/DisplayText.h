#pragma once

#include <QString>

#include <string_view>

// Windows-1252 bytes of a transfer file as text to show; every byte becomes
// exactly one character.
QString Cp1252ToQString(std::string_view bytes);
