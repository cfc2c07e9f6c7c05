#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads a finished workbook back: every part of it complete and unchanged
// (sizes and checksums), and each named sheet ending properly with the number
// of rows written. Throws EOutputError otherwise.
struct TExpectedSheet {
    std::string Part; // "xl/worksheets/sheet1.xml"
    std::uint64_t Rows;
};
void VerifyWorkbook(const std::string& path, const std::vector<TExpectedSheet>& sheets);
