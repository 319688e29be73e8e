#include "reporter/settings/settings_registry.h"

#include <string>

#include "platform/message_box.h"
#include "reporter/settings/cipher.h"
#include "reporter/settings/settings_keys.h"
#include "reporter/settings/settings_stream.h"

namespace Reporter::Settings {
namespace {

void Show(const SettingsLoadHooks& hooks, std::string_view text) {
  if (hooks.showMessage) {
    hooks.showMessage(kSettingsMessageCaption, text);
  } else {
    Platform::ShowMessage(kSettingsMessageCaption, text);
  }
}

void DecipherPasswords(std::vector<SettingsProperty>& properties) {
  const auto text = [&](std::string_view name) -> std::string {
    for (const SettingsProperty& property : properties) {
      if (property.name == name) return property.vStr;
    }
    return {};
  };
  for (const TPasswordKeys& keys : kPasswordKeys) {
    for (SettingsProperty& property : properties) {
      if (property.name != keys.password.name) continue;
      if (!property.vStr.empty()) {
        property.vStr = Cipher::DecipherPassword(property.vStr, text(keys.account.name),
                                                 text(keys.server.name));
      }
      break;  // only the first record of a name is ever read
    }
  }
}

// Fills the list from the resource bytes; false when the header is wrong.
bool Fill(SettingsModule& settings, std::span<const std::uint8_t> bytes,
          const SettingsLoadHooks& hooks) {
  SettingsStreamContent content = ReadSettingsStream(bytes);
  if (content.invalidTag) Show(hooks, InvalidSettingsResourceMessage(*content.invalidTag));
  DecipherPasswords(content.properties);
  settings.Assign(std::move(content.properties));
  return content.headerValid;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadSettingsResource(Platform::ModuleHandle module) {
  const auto bytes = Platform::FindRawResource(module, kSettingsResourceName);
  if (!bytes) return std::nullopt;
  return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

SettingsRegistry::SettingsRegistry(std::unique_ptr<Platform::ProcessPointerSlot> slot)
    : slot_(std::move(slot)) {}

SettingsRegistry* SettingsRegistry::Open(const SettingsLoadHooks& hooks) {
  Platform::ProcessNamedLock guard(kSettingsMutexName);
  auto slot = std::make_unique<Platform::ProcessPointerSlot>();
  bool created = false;
  if (!slot->Open(kSettingsBufferName, created)) {
    Show(hooks, "internal error (opening settings buffer)");
    return nullptr;
  }
  auto* registry = static_cast<SettingsRegistry*>(slot->Get());
  if (!registry) {
    registry = new SettingsRegistry(std::move(slot));
    registry->slot_->Set(registry);
  }
  // A later opener's own view of the slot closes here; the creator's stays with the registry.
  ++registry->refCount_;
  return registry;
}

void SettingsRegistry::Release() {
  Platform::ProcessNamedLock guard(kSettingsMutexName);
  if (--refCount_ > 0) return;
  slot_->Set(nullptr);
  slot_->Close();
  delete this;
}

std::size_t SettingsRegistry::ModuleCount() {
  std::lock_guard guard(lock_);
  return modules_.size();
}

SettingsModule* LoadSettingsModule(Platform::ModuleHandle module, const SettingsLoadHooks& hooks) {
  // Only a module whose image carries the resource has settings.
  const auto bytes = hooks.readResource ? hooks.readResource(module) : std::nullopt;
  if (!bytes) return nullptr;
  SettingsRegistry* registry = SettingsRegistry::Open(hooks);
  if (!registry) return nullptr;
  std::lock_guard guard(registry->lock_);
  for (SettingsModule& settings : registry->modules_) {
    if (settings.module_ == module) {
      ++settings.refCount_;
      return &settings;
    }
  }
  SettingsModule& settings = registry->modules_.emplace_back(module);
  settings.registry_ = registry;
  settings.refCount_ = 1;
  Fill(settings, *bytes, hooks);
  return &settings;
}

void ReleaseSettingsModule(SettingsModule* settings) {
  if (!settings) return;
  SettingsRegistry* registry = settings->registry_;
  {
    std::lock_guard guard(registry->lock_);
    if (--settings->refCount_ == 0) {
      registry->modules_.remove_if([&](const SettingsModule& m) { return &m == settings; });
    }
  }
  registry->Release();
}

bool ReloadSettingsModule(SettingsModule* settings, const SettingsLoadHooks& hooks) {
  if (!settings) return false;
  std::lock_guard guard(settings->registry_->lock_);
  const auto bytes = hooks.readResource ? hooks.readResource(settings->module_) : std::nullopt;
  if (!bytes) {
    settings->Assign({});
    return false;
  }
  return Fill(*settings, *bytes, hooks);
}

}  // namespace Reporter::Settings
