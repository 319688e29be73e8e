#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "reporter/settings/settings_keys.h"
#include "reporter/settings/settings_property.h"

// The values every key has when no module's settings carry it: one record for each key that
// settings_keys.def declares with a default, in its order. Keys declared without one
// (MinDebugInfo, CrashOnBuffer, the assistant definitions) read as false, 0 or "".
namespace Reporter::Settings {

inline constexpr std::size_t kDefaultSettingsCount = static_cast<std::size_t>(std::ranges::count_if(
    kDeclaredKeys, [](const TKeyDeclaration& key) { return key.hasDefault; }));

const std::vector<SettingsProperty>& DefaultSettings();

// The record of that exact (case-sensitive) name; null when the table has none.
const SettingsProperty* FindDefaultSetting(std::string_view name);

}  // namespace Reporter::Settings
