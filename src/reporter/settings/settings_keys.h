#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "reporter/settings/settings_property.h"

// The crash reporter's keys, declared once in settings_keys.def. Code names a key through its
// typed constant Keys::<Key> or through its accessor, so that a misspelt key does not compile
// and every key is read as the kind it was declared with; the default table and the settings
// compiler take their keys from the same declaration.
namespace Reporter::Settings {

enum TShowSetting : std::int32_t { ssFullBox, ssAssistant, ssDetailBox, ssSimpleBox, ssNothing };
enum TReportButton : std::int32_t {
  bSendBugReport,
  bSaveBugReport,
  bPrintBugReport,
  bShowBugReport,
  bContinueApplication,
  bRestartApplication,
  bCloseApplication
};
enum TDuplicateRule : std::int32_t {
  ddExceptAddrIdentical,
  ddCrashStackIdentical,
  ddAllStacksIdentical
};

// The kinds of the declaration: the types that the accessors return.
namespace KeyKind {
using Bool = bool;
using Int = std::int32_t;
using Unsigned = std::uint32_t;
using Text = std::string;
using ShowSetting = TShowSetting;
using ReportButton = TReportButton;
using DuplicateRule = TDuplicateRule;
}  // namespace KeyKind

// A key whose value is a T.
template <class T>
struct TKey {
  std::string_view name;
};

// What a setter takes: a text as a view, anything else by value.
template <class T>
using TSetterArg = std::conditional_t<std::is_same_v<T, std::string>, std::string_view, T>;

// The kind of record that stores a T; enumerations are stored as integers.
template <class T>
constexpr TPropertyType PropertyTypeOf() {
  if constexpr (std::is_same_v<T, bool>) {
    return ptBoolean;
  } else if constexpr (std::is_same_v<T, std::string>) {
    return ptString;
  } else {
    return ptInteger;
  }
}

namespace Keys {
#define SETTING(key, kind, accessors, name, byDefault) \
  inline constexpr TKey<KeyKind::kind> key{#key};
#include "reporter/settings/settings_keys.def"
#undef SETTING
}  // namespace Keys

// A declared key: its name, the kind of its records, and its default-table record if it has one.
struct TKeyDeclaration {
  std::string_view name;
  TPropertyType typ = ptString;
  bool hasDefault = false;
  bool vBool = false;
  std::int32_t vInt = 0;
  std::string_view vStr;
};

struct TNoDefault {};
inline constexpr TNoDefault NoDefault;

// A default of another kind than its key's fails to compile.
template <class T, class TDefault>
consteval TKeyDeclaration Declare(TKey<T> key, TDefault byDefault) {
  TKeyDeclaration declaration;
  declaration.name = key.name;
  declaration.typ = PropertyTypeOf<T>();
  if constexpr (!std::is_same_v<TDefault, TNoDefault>) {
    declaration.hasDefault = true;
    if constexpr (std::is_same_v<T, bool>) {
      static_assert(std::is_same_v<TDefault, bool>, "a Bool key's default is true or false");
      declaration.vBool = byDefault;
    } else if constexpr (std::is_same_v<T, std::string>) {
      static_assert(std::is_same_v<TDefault, const char*>, "a Text key's default is a literal");
      declaration.vStr = byDefault;
    } else {
      static_assert(std::is_same_v<TDefault, int> || std::is_same_v<TDefault, T>,
                    "an integer key's default is a number or one of its enumeration's values");
      declaration.vInt = static_cast<std::int32_t>(byDefault);
    }
  }
  return declaration;
}

// Every key, in the order of the default table.
inline constexpr TKeyDeclaration kDeclaredKeys[] = {
#define SETTING(key, kind, accessors, name, byDefault) Declare(Keys::key, byDefault),
#include "reporter/settings/settings_keys.def"
#undef SETTING
};

// The declaration of that exact (case-sensitive) name; null when no key has it.
constexpr const TKeyDeclaration* FindDeclaredKey(std::string_view name) {
  for (const TKeyDeclaration& key : kDeclaredKeys) {
    if (key.name == name) return &key;
  }
  return nullptr;
}

// Each stored password with the keys it is enciphered with.
struct TPasswordKeys {
  TKey<std::string> password;
  TKey<std::string> server;
  TKey<std::string> account;
};
inline constexpr TPasswordKeys kPasswordKeys[] = {
    {Keys::SmtpPassword, Keys::SmtpServer, Keys::SmtpAccount},
    {Keys::HttpPassword, Keys::HttpServer, Keys::HttpAccount},
    {Keys::BugTrPassword, Keys::HttpServer, Keys::BugTrAccount},
};

}  // namespace Reporter::Settings
