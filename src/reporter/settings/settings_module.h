#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/resources.h"
#include "reporter/settings/settings_property.h"

namespace Reporter::Settings {

class SettingsRegistry;
class SettingsModule;
struct SettingsLoadHooks;
SettingsModule* LoadSettingsModule(Platform::ModuleHandle, const SettingsLoadHooks&);
void ReleaseSettingsModule(SettingsModule*);
bool ReloadSettingsModule(SettingsModule*, const SettingsLoadHooks&);

// The property list of one module, shared through the process's SettingsRegistry and
// counted by reference there. Lookups return the first record with the exact (case-sensitive)
// name; later duplicates are kept but never found.
class SettingsModule {
 public:
  explicit SettingsModule(Platform::ModuleHandle module);

  Platform::ModuleHandle Module() const { return module_; }
  int RefCount() const { return refCount_; }
  const std::vector<SettingsProperty>& Properties() const { return properties_; }
  std::size_t Capacity() const { return properties_.capacity(); }

  const SettingsProperty* Find(std::string_view name) const;

  // The value field of the asked kind, whatever the record's kind; none without a record.
  std::optional<bool> ReadBool(std::string_view name) const;
  std::optional<std::int32_t> ReadInt(std::string_view name) const;
  std::optional<std::string> ReadStr(std::string_view name) const;

  // Change the first record of the name, or append one, and mark it with the value's kind.
  void WriteBool(std::string_view name, bool value);
  void WriteInt(std::string_view name, std::int32_t value);
  void WriteStr(std::string_view name, std::string_view value);

  // Replaces the whole list, as loading and reloading do.
  void Assign(std::vector<SettingsProperty> properties);

 private:
  friend auto LoadSettingsModule(Platform::ModuleHandle, const SettingsLoadHooks&)
      -> SettingsModule*;
  friend void ReleaseSettingsModule(SettingsModule*);
  friend bool ReloadSettingsModule(SettingsModule*, const SettingsLoadHooks&);
  friend class SettingsRegistry;
  SettingsProperty& FindOrAdd(std::string_view name);

  Platform::ModuleHandle module_;
  SettingsRegistry* registry_ = nullptr;
  int refCount_ = 0;
  std::vector<SettingsProperty> properties_;
};

}  // namespace Reporter::Settings
