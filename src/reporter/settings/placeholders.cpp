#include "reporter/settings/placeholders.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "platform/module_info.h"
#include "rtl/case_folding.h"

namespace Reporter::Settings {
namespace {

// Placeholders are ASCII, and UTF-8 never uses ASCII bytes inside a longer sequence, so a
// byte-wise search folding A-Z matches what the reporter's ignore-case comparison would.
void ReplaceAll(std::string& text, std::string_view lowerPattern, std::string_view value) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = RTL::Text::AsciiFindIgnoreCase(text, lowerPattern, from);
    if (at == std::string::npos) return;
    text.replace(at, lowerPattern.size(), value);
    from = at + value.size();
  }
}

std::mutex& OsSourceLock() {
  static std::mutex lock;
  return lock;
}

std::function<std::string()>& OsSource() {
  static std::function<std::string()> source;
  return source;
}

}  // namespace

TLocalTime LocalTimeNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  // std::localtime shares one buffer across the process.
  static std::mutex lock;
  std::tm parts{};
  {
    std::lock_guard guard(lock);
    if (const std::tm* local = std::localtime(&seconds)) parts = *local;
  }
  return {parts.tm_year + 1900,
          parts.tm_mon + 1,
          parts.tm_mday,
          parts.tm_hour,
          parts.tm_min,
          parts.tm_sec,
          static_cast<int>(milliseconds < 0 ? milliseconds + 1000 : milliseconds)};
}

std::string FormatPlaceholderDate(const TLocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
  return text;
}

std::string FormatPlaceholderTime(const TLocalTime& time) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d, %dms", time.hour, time.minute, time.second,
                time.millisecond);
  return text;
}

bool MayHoldPlaceholders(std::string_view text) {
  return text.find('%') != std::string_view::npos;
}

std::string ExpandPlaceholders(std::string_view text, const TPlaceholderValues& values) {
  std::string result(text);
  if (!MayHoldPlaceholders(result)) return result;
  const std::string date = FormatPlaceholderDate(values.now);
  const std::string time = FormatPlaceholderTime(values.now);
  const std::string dateTime = date + ", " + time;
  const std::array<std::pair<std::string_view, std::string_view>, 18> steps = {{
      {"%appname%", values.appName},
      {"%modname%", values.modName},
      {"%appversion%", values.appVersion},
      {"%modversion%", values.modVersion},
      {"%exceptclass%", values.exceptClass},
      {"%exceptmsg%", values.exceptMsg.empty() ? std::string_view("Unknown") : values.exceptMsg},
      {"%bugreport%", values.bugReport},
      {"%lf%", "\r\n"},
      {"%date%", date},
      {"%time%", time},
      {"%datetime%", dateTime},
      {"%computername%", values.computerName},
      {"%os%", values.os},
      {"%errordetails%", values.errorDetails},
      {"%desktop%", values.desktop},
      {"%userappdata%", values.userAppData},
      {"%commonappdata%", values.commonAppData},
      {"%localappdata%", values.localAppData},
  }};
  for (const auto& [pattern, value] : steps) ReplaceAll(result, pattern, value);
  return result;
}

std::string VersionText(const std::optional<std::string>& versionVar,
                        Platform::ModuleHandle module) {
  if (versionVar && !versionVar->empty()) return *versionVar;
  if (auto version = Platform::ModuleVersion(module)) return *version;
  return "?";
}

void SetOsDescriptionSource(std::function<std::string()> source) {
  std::lock_guard guard(OsSourceLock());
  OsSource() = std::move(source);
}

std::string OsDescription() {
  std::function<std::string()> source;
  {
    std::lock_guard guard(OsSourceLock());
    source = OsSource();
  }
  return source ? source() : std::string();
}

}  // namespace Reporter::Settings
