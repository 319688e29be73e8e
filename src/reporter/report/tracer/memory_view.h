#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "platform/memory_map.h"
#include "reporter/report/tracer/trace_types.h"

namespace Reporter::Tracer {

// The address space as one trace sees it: the readability map taken once at its start, and
// reads that consult the map instead of the system. Code is read through a page cache, since
// the analyser decodes the same pages many times; stack reads always go to memory.
class TMemoryView {
 public:
  // Takes the map of the whole address space now.
  TMemoryView();
  // A view over the given regions (tests).
  explicit TMemoryView(std::vector<Platform::TMemoryRegion> regions);

  // The region that holds the address, or null.
  const Platform::TMemoryRegion* RegionOf(Address address) const;

  // True when every byte of [address, address + size) is readable or execute-only.
  bool IsReadable(Address address, std::size_t size) const;

  // Reads fresh bytes; false when any byte is not readable.
  bool Read(Address address, void* buffer, std::size_t size) const;

  // Reads code through the page cache; false when any byte is not readable.
  bool ReadCode(Address address, void* buffer, std::size_t size);

  // As many bytes as can be read from address on, up to buffer.size() (0 when none).
  std::size_t ReadCodeUpTo(Address address, std::span<std::uint8_t> buffer);

  // Reads one pointer-sized value.
  bool ReadPointer(Address address, Address& value) const;

 private:
  static constexpr std::size_t kPageSize = 4096;
  const std::vector<std::uint8_t>* Page(Address pageStart);

  std::vector<Platform::TMemoryRegion> regions_;  // sorted, adjacent same-class merged
  std::unordered_map<Address, std::vector<std::uint8_t>> pages_;
};

// The size of a stack slot and of a code pointer in this process.
inline constexpr std::size_t kSlotSize = sizeof(void*);

}  // namespace Reporter::Tracer
