#pragma once

#include <cstdint>
#include <string>

namespace Reporter::Settings {

// The kind a record was stored as. Readers take the value field they ask for whatever the
// kind says: the built-in default table keeps some integers in records marked ptBoolean.
enum TPropertyType : std::uint8_t { ptString, ptInteger, ptBoolean, ptBinary };

// One setting of a module: a case-sensitive ASCII name and its value, texts in UTF-8.
struct SettingsProperty {
  std::string name;
  TPropertyType typ = ptString;
  bool vBool = false;
  std::int32_t vInt = 0;
  std::string vStr;
};

}  // namespace Reporter::Settings
