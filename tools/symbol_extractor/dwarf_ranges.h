#pragma once

#include <cstdint>
#include <vector>

#include "dwarf_forms.h"

// The address ranges of a debugging information entry: its low and high PC, or its range list
// in .debug_ranges (up to version 4) or .debug_rnglists (version 5).
namespace SymbolExtractor {

struct TAddressRange {
  std::uint64_t Begin = 0;
  std::uint64_t End = 0;  // the first address after the range
};

// The ranges of a DW_AT_ranges value (a section offset, or an index into the unit's range
// list offsets); base is the unit's base address. Empty ranges are left out; a damaged list
// gives the ranges before the damage.
std::vector<TAddressRange> ReadRangeList(const TAttributeValue& value, std::uint64_t base,
                                         const TUnitEncoding& unit, const TDebugSections& sections);

}  // namespace SymbolExtractor
