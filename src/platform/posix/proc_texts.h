#pragma once

#include <sched.h>

#include <cstdint>
#include <optional>
#include <string>

// The texts of /proc files as the system lists read them, parsed apart from reading them, so
// that whatever a file holds can be tried on its own.
namespace Platform::Posix {

// From /proc/<pid>/stat: the program's short name, whether it is one of the kernel's own
// threads, and its nice value (none when the line ends before it). An empty name when the
// text is none of a stat line.
struct TProcessStat {
  std::string Name;
  bool KernelThread = false;
  std::optional<long> Nice;
};
TProcessStat ParseProcessStat(const std::string& text);

// From /proc/self/task/<tid>/stat: the state letter, the nice value and the scheduling policy.
// None when the text is cut short, and for a thread that has ended ("Z" or "X").
struct TTaskStat {
  char State = '\0';
  long Nice = 0;
  int Policy = SCHED_OTHER;
};
std::optional<TTaskStat> ParseTaskStat(const std::string& text);

// The start time in clock ticks since boot, field 22 of a stat line, as the text has it
// (parsed as a floating-point number, 0 when it is none); none when the line ends before it.
std::optional<double> StartTimeOfStat(const std::string& text);

// Seconds since boot, with their fraction, from /proc/uptime; negative when there is no number.
double UpTimeOfText(const std::string& text);

// The login session of /proc/<pid>/sessionid's text; 0 for none.
std::uint32_t SessionOfText(const std::string& text);

}  // namespace Platform::Posix
