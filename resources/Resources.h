#pragma once

#include <cstddef>

// The logo picture, a baseline JPEG carried inside the program.
extern const unsigned char LogoJpegData[];
extern const std::size_t LogoJpegSize;
