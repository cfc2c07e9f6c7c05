#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Test files for the robustness tests: realistic transfer files from the
// benchmark generator, and files that no sound program writes.

// investigationCount realistic examinations (5 to 30 parameters each).
std::string RealisticTransferText(uint64_t seed, int investigationCount);

// Well-formed blocks of the given shape whose data fields come from field();
// field must not return "|" or line ends.
std::string WellFormedText(int blocks, int parameters, const std::function<std::string()>& field);

// Data fields of 12 random bytes from 0x80 to 0xFF each.
std::string HighBytesText(uint64_t seed, int blocks, int parameters);

// size bytes from a seeded generator, every byte value possible.
std::string RandomBytes(uint64_t seed, std::size_t size);
