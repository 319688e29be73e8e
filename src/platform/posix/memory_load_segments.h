#pragma once

#include <cstdint>
#include <vector>

namespace Platform::Posix {

struct TAddressRange {
  std::uintptr_t Begin = 0;
  std::uintptr_t End = 0;
};

// The executable load segments of every loaded ELF object, widened to whole pages and sorted.
// They tell code from data where the maps file cannot: a user-mode emulator lists its own
// host mappings, which join a module's code and data under the flags of the first page.
std::vector<TAddressRange> ExecutableLoadSegments();

}  // namespace Platform::Posix
