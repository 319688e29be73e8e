#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "reporter/settings/settings_property.h"

// The values every key has when no module's settings carry it. Keys missing here
// (MinDebugInfo, CrashOnBuffer, the assistant definitions) read as false, 0 or "".
namespace Reporter::Settings {

inline constexpr std::size_t kDefaultSettingsCount = 139;

const std::vector<SettingsProperty>& DefaultSettings();

// The record of that exact (case-sensitive) name; null when the table has none.
const SettingsProperty* FindDefaultSetting(std::string_view name);

}  // namespace Reporter::Settings
