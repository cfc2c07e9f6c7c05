#pragma once

#include <QString>

// Symbol fonts place pictographs on the code points of ordinary letters. Most
// systems lack those fonts, so the few characters that documents use as bullets
// and marks are shown as their Unicode equivalents in an ordinary font.
enum class TSymbolFont { None,
                         Symbol,
                         Wingdings };

// Which symbol font a font-table entry names (charset 2 marks a symbol font).
TSymbolFont SymbolFontOf(const QString& family, int charset);

// The Unicode character for code in the given symbol font, or 0 when we know
// no equivalent.
char16_t SymbolToUnicode(TSymbolFont font, unsigned char code);
