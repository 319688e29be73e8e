#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The address space of this process as the crash reporter sees it: which ranges can be read,
// which belong to a loaded module image, and reads that never fault.
namespace Platform {

enum class TMemoryAccess {
  NotReadable,  // free, reserved, no-access or guard pages
  ExecuteOnly,  // code that may be executed but not read
  Readable,     // readable, whether or not also writable or executable
};

struct TMemoryRegion {
  std::uintptr_t Begin = 0;  // first address
  std::uintptr_t End = 0;    // one past the last address
  TMemoryAccess Access = TMemoryAccess::NotReadable;
  bool Executable = false;
  bool Guard = false;      // a guard page (Windows) or a stack guard gap
  bool Committed = false;  // backed by memory (POSIX: every mapping)
  // The start of the allocation the region belongs to: Windows the AllocationBase, POSIX the
  // lowest address of the mappings of the same file (0 for anonymous memory).
  std::uintptr_t AllocationBase = 0;
  // Full path of the module image mapped here; empty when the region is no image.
  std::string ImagePath;
};

// The regions of the whole address space, sorted by address, without gaps between regions
// that are listed (unlisted addresses are not readable). Windows walks VirtualQuery, POSIX
// reads /proc/self/maps.
std::vector<TMemoryRegion> QueryMemoryMap();

// The region containing the address; Access NotReadable with Begin == End == address when
// none does.
TMemoryRegion QueryMemoryRegion(std::uintptr_t address);

// Copies size bytes at address into buffer without ever faulting, even when the memory is
// unmapped or changes under the read. False when any byte could not be read.
[[nodiscard]] bool ReadMemory(std::uintptr_t address, void* buffer, std::size_t size);

// Makes execute-only memory readable for the copy and restores its protection; false when
// that is not possible. Only for ExecuteOnly regions: the range must lie in one region (a
// Readable one is simply read).
[[nodiscard]] bool ReadExecuteOnlyMemory(std::uintptr_t address, void* buffer, std::size_t size);

}  // namespace Platform
