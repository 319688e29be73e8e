#include "reporter/report/header/header_formats.h"

#include "platform/machine_info.h"

namespace Reporter::Report {
namespace {

void AddUnit(std::string& text, std::int64_t count, const char* unit) {
  if (count == 0) return;
  text += std::to_string(count) + " " + unit;
  if (count != 1) text += "s";
  text += " ";
}

// hundredths as "<whole><separator><two digits>"
std::string Hundredths(std::uint64_t value, char decimalSeparator) {
  const std::uint64_t fraction = value % 100;
  return std::to_string(value / 100) + decimalSeparator + static_cast<char>('0' + fraction / 10) +
         static_cast<char>('0' + fraction % 10);
}

}  // namespace

std::string DurationToStr(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const std::int64_t days = seconds / 86400;
  const std::int64_t hours = seconds / 3600 % 24;
  const std::int64_t minutes = seconds / 60 % 60;
  const std::int64_t rest = seconds % 60;
  std::string text;
  if (days > 0) {
    AddUnit(text, days, "day");
    AddUnit(text, hours, "hour");
  } else if (hours > 0) {
    AddUnit(text, hours, "hour");
    AddUnit(text, minutes, "minute");
  } else {
    AddUnit(text, minutes, "minute");
    AddUnit(text, rest, "second");
  }
  if (!text.empty()) text.pop_back();
  return text;
}

std::string SizeToStr(std::uint64_t bytes, char decimalSeparator) {
  constexpr std::uint64_t kKiB = 1024;
  if (bytes < kKiB) return std::to_string(bytes) + " Bytes";
  if (bytes < kKiB * kKiB) return Hundredths(bytes * 100 / kKiB, decimalSeparator) + " KB";
  if (bytes < kKiB * kKiB * kKiB) {
    return Hundredths(bytes / kKiB * 100 / kKiB, decimalSeparator) + " MB";
  }
  return Hundredths(bytes / kKiB / kKiB * 100 / kKiB, decimalSeparator) + " GB";
}

std::string SizeToStr(std::uint64_t bytes) {
  return SizeToStr(bytes, ReportDecimalSeparator());
}

char ReportDecimalSeparator() {
  static const char separator = Platform::DecimalSeparator();
  return separator;
}

}  // namespace Reporter::Report
