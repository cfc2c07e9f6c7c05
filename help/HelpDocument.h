#pragma once

#include <cstddef>

// The built-in guide and terms of use: RTF source in 7-bit text, every other
// character escaped as Windows-1252. Zero-terminated; HelpDocumentSize excludes
// the terminator.
extern const char HelpDocument[];
extern const std::size_t HelpDocumentSize;
