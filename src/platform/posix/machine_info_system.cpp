#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/machine_info.h"
#include "platform/posix/proc_texts.h"
#include "platform/posix/system_files.h"

namespace Platform {
namespace {

// Seconds since boot, with their fraction, from /proc/uptime; negative when unreadable.
double UpTime() {
  return Posix::UpTimeOfText(Posix::ReadSystemFile("/proc/uptime"));
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
  // The start time is field 22 of /proc/self/stat, in clock ticks since boot.
  const std::optional<double> started =
      Posix::StartTimeOfStat(Posix::ReadSystemFile("/proc/self/stat"));
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  const double upTime = UpTime();
  if (!started || ticksPerSecond <= 0 || upTime < 0 || *started <= 0) return std::nullopt;
  const double milliseconds = (upTime - *started / static_cast<double>(ticksPerSecond)) * 1000;
  if (milliseconds < 0) return std::nullopt;
  return static_cast<std::int64_t>(milliseconds);
}

}  // namespace Platform
