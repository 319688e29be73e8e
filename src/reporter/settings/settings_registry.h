#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/process_shared.h"
#include "platform/resources.h"
#include "reporter/settings/settings_module.h"

// The process's one registry of module property lists. Every module of the process that
// carries the reporter finds it through a process-wide named slot; the first opener creates it,
// later openers add a reference, the last release frees it.
namespace Reporter::Settings {

inline constexpr std::string_view kSettingsResourceName = "TEXVORA";
inline constexpr std::string_view kSettingsBufferName = "ExvoraSettingsBuf2";
inline constexpr std::string_view kSettingsMutexName = "ExvoraSettingsMtx";

// The module's settings resource, copied; none when the module carries none.
std::optional<std::vector<std::uint8_t>> ReadSettingsResource(Platform::ModuleHandle module);

// What loading needs from outside, replaceable so that tests neither need real resources nor
// block on a message box.
struct SettingsLoadHooks {
  std::function<std::optional<std::vector<std::uint8_t>>(Platform::ModuleHandle)> readResource =
      ReadSettingsResource;
  std::function<void(std::string_view caption, std::string_view text)> showMessage;  // default:
                                                                                     // message box
};

class SettingsRegistry {
 public:
  // Creates the registry or adds a reference to it, under the process's named mutex. Null
  // (after a message) when the process-wide slot cannot be made.
  static SettingsRegistry* Open(const SettingsLoadHooks& hooks = {});
  // Drops a reference; the last one frees the registry and its slot.
  void Release();

  int RefCount() const { return refCount_; }
  std::size_t ModuleCount();

 private:
  friend SettingsModule* LoadSettingsModule(Platform::ModuleHandle, const SettingsLoadHooks&);
  friend void ReleaseSettingsModule(SettingsModule*);
  friend bool ReloadSettingsModule(SettingsModule*, const SettingsLoadHooks&);

  explicit SettingsRegistry(std::unique_ptr<Platform::ProcessPointerSlot> slot);

  int refCount_ = 0;
  std::unique_ptr<Platform::ProcessPointerSlot> slot_;
  std::recursive_mutex lock_;
  std::list<SettingsModule> modules_;
};

// The module's property list with one more reference, read from its resource on first use;
// null when the module carries no settings resource or the registry cannot be opened. Every
// reference holds one reference to the registry too.
SettingsModule* LoadSettingsModule(Platform::ModuleHandle module,
                                   const SettingsLoadHooks& hooks = {});
// Drops one reference (null is ignored); the last one unlinks and frees the list.
void ReleaseSettingsModule(SettingsModule* settings);
// Discards the list and reads the module's resource again. False when the resource is gone or
// its header is wrong; the list is empty then.
bool ReloadSettingsModule(SettingsModule* settings, const SettingsLoadHooks& hooks = {});

}  // namespace Reporter::Settings
