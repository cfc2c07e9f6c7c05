#include "LayoutBlocks.h"

#include <array>

namespace {

#include "LayoutBlockTable.inc"

} // namespace

std::span<const TLayoutBlock> LayoutBlocks() { return LayoutBlockTable; }
