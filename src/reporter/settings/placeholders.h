#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/resources.h"

// The percent-delimited placeholders of the reporter's settings texts.
namespace Reporter::Settings {

struct TLocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

TLocalTime LocalTimeNow();
// "2024-03-07"
std::string FormatPlaceholderDate(const TLocalTime& time);
// "09:05:03, 42ms"
std::string FormatPlaceholderTime(const TLocalTime& time);

// What each placeholder stands for.
struct TPlaceholderValues {
  std::string appName;
  std::string modName;
  std::string appVersion;
  std::string modVersion;
  std::string exceptClass;
  std::string exceptMsg;  // "Unknown" is used when empty
  std::string bugReport;
  TLocalTime now;
  std::string computerName;
  std::string os;
  std::string errorDetails;
  std::string desktop;
  std::string userAppData;
  std::string commonAppData;
  std::string localAppData;
};

// The values of the placeholders that only an exception knows; a settings object without one
// keeps the placeholders themselves.
struct TExceptionPlaceholders {
  std::string exceptClass = "%exceptClass%";
  std::string errorDetails = "%errorDetails%";
  std::string bugReport = "%bugReport%";
  std::string exceptMsg = "%exceptMsg%";
};

// Replaces every placeholder, ignoring case, one kind after the other in a fixed order, so
// that what an earlier one inserts is expanded by the later ones (a "%LF%" inside the
// exception message becomes a line break). Each replacement continues after the inserted
// text.
std::string ExpandPlaceholders(std::string_view text, const TPlaceholderValues& values);

// True when the text may hold a placeholder at all, so that callers can skip collecting.
bool MayHoldPlaceholders(std::string_view text);

// A module's version text: the version variable's text when there is one, else the module's
// file version, else "?".
std::string VersionText(const std::optional<std::string>& versionVar,
                        Platform::ModuleHandle module);

// The operating-system description that "%os%" stands for; the bug report header installs
// its own. Empty until then.
void SetOsDescriptionSource(std::function<std::string()> source);
std::string OsDescription();

}  // namespace Reporter::Settings
