#include "platform/resources.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/resource_table.h"

namespace Platform {
namespace {

using ResourceKey = std::pair<ModuleHandle, std::string>;

struct ResourceTable {
  std::mutex lock;
  std::map<ResourceKey, std::span<const std::uint8_t>, std::less<>> entries;
};

// Built on first use: registrations run during static initialization, in no fixed order.
ResourceTable& Table() {
  static ResourceTable table;
  return table;
}

}  // namespace

ModuleHandle MainModule() {
  return 0;
}

void RegisterResource(ModuleHandle module, std::string_view name,
                      std::span<const std::uint8_t> bytes) {
  ResourceTable& table = Table();
  std::lock_guard guard(table.lock);
  table.entries[ResourceKey(module, std::string(name))] = bytes;
}

std::optional<std::span<const std::uint8_t>> FindRawResource(ModuleHandle module,
                                                             std::string_view name) {
  ResourceTable& table = Table();
  std::lock_guard guard(table.lock);
  const auto found = table.entries.find(ResourceKey(module, std::string(name)));
  if (found == table.entries.end()) return std::nullopt;
  return found->second;
}

}  // namespace Platform
