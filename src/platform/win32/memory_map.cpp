#include "platform/memory_map.h"

#include <windows.h>

#include "platform/module_info.h"
#include "platform/win32/memory_protection.h"

namespace Platform {
namespace {

std::uintptr_t Address(const void* pointer) {
  return reinterpret_cast<std::uintptr_t>(pointer);
}

TMemoryRegion ToRegion(const MEMORY_BASIC_INFORMATION& info) {
  TMemoryRegion region;
  region.Begin = Address(info.BaseAddress);
  region.End = region.Begin + info.RegionSize;
  region.Committed = info.State == MEM_COMMIT;
  if (info.State != MEM_FREE) region.AllocationBase = Address(info.AllocationBase);
  region.Access = Win32::AccessOf(info);
  region.Executable = Win32::IsExecutable(info);
  region.Guard = Win32::IsGuard(info);
  return region;
}

// The path of the image whose allocation base is given; the walk asks for each image once.
class TImagePaths {
 public:
  const std::string& Of(std::uintptr_t base) {
    if (base != base_) {
      base_ = base;
      path_ = ModuleFileName(static_cast<ModuleHandle>(base));
    }
    return path_;
  }

 private:
  std::uintptr_t base_ = 0;
  std::string path_;
};

void AddImagePath(const MEMORY_BASIC_INFORMATION& info, TMemoryRegion& region, TImagePaths& paths) {
  if (info.Type == MEM_IMAGE && region.AllocationBase != 0) {
    region.ImagePath = paths.Of(region.AllocationBase);
  }
}

}  // namespace

std::vector<TMemoryRegion> QueryMemoryMap() {
  std::vector<TMemoryRegion> regions;
  TImagePaths paths;
  std::uintptr_t address = 0;
  MEMORY_BASIC_INFORMATION info{};
  while (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) == sizeof info) {
    TMemoryRegion region = ToRegion(info);
    if (region.End <= region.Begin || region.Begin < address) break;
    AddImagePath(info, region, paths);
    address = region.End;
    regions.push_back(std::move(region));
  }
  return regions;
}

TMemoryRegion QueryMemoryRegion(std::uintptr_t address) {
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) != sizeof info) {
    TMemoryRegion none;
    none.Begin = none.End = address;
    return none;
  }
  // VirtualQuery starts the region at the address's page; the region's real start is found
  // walking up from the start of its allocation (free memory has none, it keeps the page).
  if (info.State != MEM_FREE) {
    MEMORY_BASIC_INFORMATION walked{};
    for (auto cursor = Address(info.AllocationBase);
         cursor <= address &&
         VirtualQuery(reinterpret_cast<const void*>(cursor), &walked, sizeof walked) ==
             sizeof walked &&
         walked.RegionSize != 0;
         cursor = Address(walked.BaseAddress) + walked.RegionSize) {
      if (address < Address(walked.BaseAddress) + walked.RegionSize) {
        info = walked;
        break;
      }
    }
  }
  TMemoryRegion region = ToRegion(info);
  TImagePaths paths;
  AddImagePath(info, region, paths);
  return region;
}

}  // namespace Platform
