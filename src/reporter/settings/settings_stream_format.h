#pragma once

#include <array>
#include <cstdint>

// The settings resource: a component stream "TPF0", class "TExvora", object "Exvora", then
// name/tag/value records (all integers little-endian) up to a name of length zero and a final
// zero that ends the object.
namespace Reporter::Settings {

inline constexpr std::array<std::uint8_t, 19> kSettingsStreamHeader = {
    'T', 'P', 'F', '0', 7, 'T', 'E', 'x', 'v', 'o', 'r', 'a', 6, 'E', 'x', 'v', 'o', 'r', 'a'};

enum SettingsTag : std::uint8_t {
  kTagInt8 = 2,
  kTagInt16 = 3,
  kTagInt32 = 4,
  kTagAnsiShort = 6,  // 1-byte length, ANSI code page
  kTagIdent = 7,      // 1-byte length, UTF-8
  kTagFalse = 8,
  kTagTrue = 9,
  kTagAnsiLong = 12,  // 4-byte length, ANSI code page
  kTagUtf16 = 18,     // 4-byte count of UTF-16 code units
  kTagUtf8Long = 20,  // 4-byte length, UTF-8
};

}  // namespace Reporter::Settings
