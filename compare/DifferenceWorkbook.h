#pragma once

#include "Comparison.h"

#include <string>

// The comparison as a workbook a clerk opens: the sheet "Unterschiede" with
// one row per difference and a legend below, and the sheet "Untersuchungen"
// with each examination that differs, the old row above the new one. Changed
// cells are filled yellow, added rows green, removed rows red. comparison
// must have been made with TCompareOptions::KeepFields. Throws EOutputError.
void WriteDifferenceWorkbook(const std::string& target, const TComparison& comparison);
