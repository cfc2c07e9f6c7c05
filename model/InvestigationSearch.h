#pragma once

#include <span>
#include <string_view>

#include "InvestigationList.h"

// Find as you type in the examination list. Returns the first examination,
// from `from` on and wrapping at the end, whose running number (counted from
// 1) or one of the given entries of its field list begins with prefix; -1
// when none does. Prefix and fields are Windows-1252 bytes; letters match
// without regard to case, umlauts included.
int FindInvestigation(const TInvestigationList& list, std::span<const int> entries, std::string_view prefix,
                      int from);
