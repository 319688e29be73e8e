#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "platform/machine_info.h"
#include "platform/posix/system_files.h"

namespace Platform {
namespace {

// Seconds since boot, with their fraction, from /proc/uptime; negative when unreadable.
double UpTime() {
  std::istringstream stream(Posix::ReadSystemFile("/proc/uptime"));
  double seconds = -1;
  if (!(stream >> seconds)) return -1;
  return seconds;
}

}  // namespace

TOperatingSystem QueryOperatingSystem() {
  std::string name = PrettyNameOfOsRelease(Posix::ReadSystemFile("/etc/os-release"));
  if (name.empty()) name = PrettyNameOfOsRelease(Posix::ReadSystemFile("/usr/lib/os-release"));
  utsname system{};
  const bool known = uname(&system) == 0;
  if (name.empty() && known) name = system.sysname;
  TOperatingSystem os;
  os.Description = name;
  if (known && system.release[0] != '\0') os.Description += " build " + std::string(system.release);
  return os;
}

std::string SystemLanguageName() {
  const char* language = std::getenv("LANG");
  return LanguageNameOfLocale(language != nullptr ? language : "");
}

std::optional<std::int64_t> SystemUpTimeSeconds() {
  const double seconds = UpTime();
  if (seconds < 0) return std::nullopt;
  return static_cast<std::int64_t>(seconds);
}

std::optional<std::int64_t> ProcessUpTimeMilliseconds() {
  // The start time is field 22 of /proc/self/stat, in clock ticks since boot; the name in
  // field 2 may hold blanks and parentheses, so counting starts after its last ")".
  const std::string stat = Posix::ReadSystemFile("/proc/self/stat");
  const std::size_t nameEnd = stat.rfind(')');
  if (nameEnd == std::string::npos) return std::nullopt;
  std::istringstream fields(stat.substr(nameEnd + 1));
  std::string field;
  for (int number = 3; number <= 22 && fields >> field; ++number) {
  }
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  const double upTime = UpTime();
  const double started = std::strtod(field.c_str(), nullptr);
  if (!fields || ticksPerSecond <= 0 || upTime < 0 || started <= 0) return std::nullopt;
  const double milliseconds = (upTime - started / static_cast<double>(ticksPerSecond)) * 1000;
  if (milliseconds < 0) return std::nullopt;
  return static_cast<std::int64_t>(milliseconds);
}

}  // namespace Platform
