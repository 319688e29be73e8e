#include "reporter/settings/default_settings.h"

namespace Reporter::Settings {

const std::vector<SettingsProperty>& DefaultSettings() {
  static const std::vector<SettingsProperty> table = [] {
    std::vector<SettingsProperty> records;
    records.reserve(kDefaultSettingsCount);
    for (const TKeyDeclaration& key : kDeclaredKeys) {
      if (!key.hasDefault) continue;
      records.push_back(
          {std::string(key.name), key.typ, key.vBool, key.vInt, std::string(key.vStr)});
    }
    return records;
  }();
  return table;
}

const SettingsProperty* FindDefaultSetting(std::string_view name) {
  for (const SettingsProperty& property : DefaultSettings()) {
    if (property.name == name) return &property;
  }
  return nullptr;
}

}  // namespace Reporter::Settings
