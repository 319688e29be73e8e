#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <locale>

#include "platform/machine_info.h"
#include "platform/memory_map.h"
#include "platform/posix/memory_maps.h"
#include "platform/process.h"

namespace Platform {
namespace {

// Addresses below this are never handed out (the kernel's usual vm.mmap_min_addr).
constexpr std::uintptr_t kLowestMappable = 0x10000;

}  // namespace

std::uint64_t AllocatedMemoryOutsideModules() {
  std::uint64_t allocated = 0;
  // Inaccessible anonymous mappings (guard gaps, the reserve of malloc arenas) hold no memory.
  for (const TMemoryRegion& region : QueryMemoryMap()) {
    if (!region.ImagePath.empty()) continue;
    if (region.Access == TMemoryAccess::NotReadable && !region.Executable) continue;
    allocated += region.End - region.Begin;
  }
  return allocated;
}

// The largest gap between the mappings; the vsyscall page lies outside the user's space.
std::uint64_t LargestFreeAddressBlock() {
  std::uint64_t largest = 0;
  std::uintptr_t previousEnd = kLowestMappable;
  for (const Posix::TMapping& mapping : Posix::ReadMappings()) {
    if (mapping.Path == "[vsyscall]") continue;
    if (mapping.Begin > previousEnd) {
      largest = std::max<std::uint64_t>(largest, mapping.Begin - previousEnd);
    }
    previousEnd = std::max(previousEnd, mapping.End);
  }
  return largest;
}

std::optional<TFileDateTime> ExecutableWriteTime() {
  struct stat info {};
  const std::string path = ExecutablePath();
  if (path.empty() || stat(path.c_str(), &info) != 0) return std::nullopt;
  const std::time_t written = info.st_mtime;
  std::tm local{};
  if (localtime_r(&written, &local) == nullptr) return std::nullopt;
  return TFileDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                       local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::optional<std::string> LoadedLibraryVersion(std::string_view) {
  return std::nullopt;
}

// The user's locale without touching the process's global one (setlocale is not ours to call).
char DecimalSeparator() {
  try {
    const std::locale user("");
    return std::use_facet<std::numpunct<char>>(user).decimal_point();
  } catch (...) {
    return ',';
  }
}

}  // namespace Platform
