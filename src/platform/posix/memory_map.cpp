#include "platform/memory_map.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "platform/posix/memory_load_segments.h"
#include "platform/posix/memory_maps.h"

namespace Platform {
namespace {

using Posix::TMapping;

bool IsFileMapping(const TMapping& mapping) {
  return mapping.Inode != 0 && !mapping.Path.empty() && mapping.Path.front() == '/';
}

// A stack guard: an inaccessible private mapping right below anonymous read-write memory.
bool IsGuard(const TMapping& mapping, const TMapping* above) {
  if (mapping.Read || mapping.Write || mapping.Execute || mapping.Shared) return false;
  return above != nullptr && above->Begin == mapping.End && above->Read && above->Write &&
         above->Inode == 0;
}

// The first bytes of a file mapped from its start show whether it is a loaded ELF image;
// device files are not looked at, reading them may have side effects.
bool StartsAsElfImage(const TMapping& first) {
  if (first.Offset != 0 || !first.Read || first.End - first.Begin < 4) return false;
  if (first.Path.rfind("/dev/", 0) == 0) return false;
  char magic[4] = {};
  return ReadMemory(first.Begin, magic, sizeof magic) && std::memcmp(magic,
                                                                     "\x7f"
                                                                     "ELF",
                                                                     4) == 0;
}

struct TFileInfo {
  std::uintptr_t Base = 0;
  bool Image = false;
};

// The file's lowest mapping is its allocation base; an image has its ELF header there.
TFileInfo FileInfoOf(const std::vector<TMapping>& mappings, const TMapping& mapping) {
  for (const TMapping& first : mappings) {
    if (first.Inode == mapping.Inode && first.Path == mapping.Path) {
      return TFileInfo{first.Begin, StartsAsElfImage(first)};
    }
  }
  return {};
}

TMemoryRegion ToRegion(const std::vector<TMapping>& mappings, std::size_t index,
                       const TFileInfo* file) {
  const TMapping& mapping = mappings[index];
  TMemoryRegion region;
  region.Begin = mapping.Begin;
  region.End = mapping.End;
  region.Access = mapping.Read      ? TMemoryAccess::Readable
                  : mapping.Execute ? TMemoryAccess::ExecuteOnly
                                    : TMemoryAccess::NotReadable;
  region.Executable = mapping.Execute;
  region.Guard = IsGuard(mapping, index + 1 < mappings.size() ? &mappings[index + 1] : nullptr);
  region.Committed = true;
  if (file != nullptr) {
    region.AllocationBase = file->Base;
    if (file->Image) region.ImagePath = mapping.Path;
  }
  return region;
}

// Marks the parts of readable regions that hold a module's code as executable, splitting the
// regions where code and data share one listed mapping.
std::vector<TMemoryRegion> MarkCode(std::vector<TMemoryRegion> regions) {
  const std::vector<Posix::TAddressRange> code = Posix::ExecutableLoadSegments();
  std::vector<TMemoryRegion> result;
  result.reserve(regions.size());
  for (TMemoryRegion& region : regions) {
    if (region.Executable || region.Access == TMemoryAccess::NotReadable) {
      result.push_back(std::move(region));
      continue;
    }
    std::uintptr_t cursor = region.Begin;
    const auto piece = [&](std::uintptr_t end, bool executable) {
      TMemoryRegion part = region;
      part.Begin = cursor;
      part.End = end;
      part.Executable = executable;
      result.push_back(std::move(part));
      cursor = end;
    };
    for (const Posix::TAddressRange& segment : code) {
      if (segment.End <= cursor || segment.Begin >= region.End) continue;
      if (segment.Begin > cursor) piece(segment.Begin, false);
      piece(std::min(segment.End, region.End), true);
    }
    if (cursor < region.End) piece(region.End, false);
  }
  return result;
}

}  // namespace

std::vector<TMemoryRegion> QueryMemoryMap() {
  const std::vector<TMapping> mappings = Posix::ReadMappings();
  std::map<std::pair<std::string, std::uint64_t>, TFileInfo> files;
  std::vector<TMemoryRegion> regions;
  regions.reserve(mappings.size());
  for (std::size_t i = 0; i < mappings.size(); ++i) {
    const TMapping& mapping = mappings[i];
    const TFileInfo* file = nullptr;
    if (IsFileMapping(mapping)) {
      auto [entry, inserted] = files.try_emplace({mapping.Path, mapping.Inode});
      if (inserted) entry->second = FileInfoOf(mappings, mapping);
      file = &entry->second;
    }
    regions.push_back(ToRegion(mappings, i, file));
  }
  return MarkCode(std::move(regions));
}

TMemoryRegion QueryMemoryRegion(std::uintptr_t address) {
  const std::vector<TMapping> mappings = Posix::ReadMappings();
  const auto found =
      std::upper_bound(mappings.begin(), mappings.end(), address,
                       [](std::uintptr_t value, const TMapping& m) { return value < m.Begin; });
  if (found != mappings.begin() && address < std::prev(found)->End) {
    const auto index = static_cast<std::size_t>(std::prev(found) - mappings.begin());
    TFileInfo file;
    if (IsFileMapping(mappings[index])) file = FileInfoOf(mappings, mappings[index]);
    for (TMemoryRegion& part : MarkCode({ToRegion(mappings, index, &file)})) {
      if (part.Begin <= address && address < part.End) return part;
    }
  }
  TMemoryRegion none;
  none.Begin = none.End = address;
  return none;
}

}  // namespace Platform
