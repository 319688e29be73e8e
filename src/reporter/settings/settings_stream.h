#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reporter/settings/settings_property.h"
#include "reporter/settings/settings_stream_format.h"

namespace Reporter::Settings {

struct SettingsStreamContent {
  // False when the header bytes differ; the list is empty then.
  bool headerValid = false;
  // The records read before the end or before the first fault.
  std::vector<SettingsProperty> properties;
  // Set when reading stopped at a fault: the tag outside the table, or the tag of a record
  // that runs past the end of the bytes (0 when the cut falls before its tag).
  std::optional<std::uint8_t> invalidTag;
};

// Never reads outside the bytes, whatever they hold.
SettingsStreamContent ReadSettingsStream(std::span<const std::uint8_t> bytes);

// The user-facing report of a stopped read: "Internal error: Invalid settings resource ($5).",
// shown with the caption kSettingsMessageCaption.
inline constexpr std::string_view kSettingsMessageCaption = "Exvora";
std::string InvalidSettingsResourceMessage(std::uint8_t tag);

}  // namespace Reporter::Settings
