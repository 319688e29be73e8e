#include <algorithm>
#include <set>

#include "platform/memory_map.h"
#include "platform/module_info.h"
#include "platform/system_lists.h"

namespace Platform {
namespace {

struct TMappedFile {
  std::uintptr_t Base = 0;
  std::string Path;
};

// The module images mapped into this process, each once at the lowest address of its
// mappings.
std::vector<TMappedFile> MappedFiles() {
  std::vector<TMappedFile> files;
  std::set<std::uintptr_t> seen;
  for (const TMemoryRegion& region : QueryMemoryMap()) {
    if (region.ImagePath.empty() || region.AllocationBase == 0) continue;
    if (seen.insert(region.AllocationBase).second) {
      files.push_back({region.AllocationBase, region.ImagePath});
    }
  }
  return files;
}

std::string VersionAt(std::uintptr_t base) {
  const std::optional<ModuleHandle> module = ModuleOfAddress(reinterpret_cast<const void*>(base));
  if (!module) return {};
  return ModuleVersion(*module).value_or(std::string());
}

}  // namespace

std::vector<TModuleRecord> ListModules() {
  std::vector<TModuleRecord> modules;
  modules.reserve(32);
  for (const TMappedFile& file : MappedFiles()) {
    TModuleRecord module;
    module.Base = file.Base;
    const std::size_t separator = file.Path.rfind('/');
    module.FileName = file.Path.substr(separator + 1);
    module.Directory = file.Path.substr(0, separator);
    module.Version = VersionAt(file.Base);
    modules.push_back(std::move(module));
  }
  std::stable_sort(modules.begin(), modules.end(),
                   [](const TModuleRecord& a, const TModuleRecord& b) { return a.Base < b.Base; });
  return modules;
}

}  // namespace Platform
