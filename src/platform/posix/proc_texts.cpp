#include "platform/posix/proc_texts.h"

#include <cstdlib>
#include <sstream>

namespace Platform::Posix {
namespace {

// "4294967295" in /proc/<pid>/sessionid: the process belongs to no login session.
constexpr unsigned long long kNoSession = 4294967295ull;

// The kernel's flag for its own threads (PF_KTHREAD), which no header exports.
constexpr unsigned long kKernelThreadFlag = 0x00200000;

}  // namespace

// "pid (name) state ppid ... flags ... priority nice ...": the name may hold blanks and
// parentheses, so it ends at the last ")".
TProcessStat ParseProcessStat(const std::string& text) {
  TProcessStat stat;
  const std::size_t open = text.find('(');
  const std::size_t close = text.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return stat;
  stat.Name = text.substr(open + 1, close - open - 1);
  std::istringstream fields(text.substr(close + 1));
  // Fields 3 to 8 come before the flags, the 9th; fields 10 to 18 before the nice value.
  std::string field;
  for (int index = 3; index <= 8; ++index) {
    if (!(fields >> field)) return stat;
  }
  unsigned long flags = 0;
  if (!(fields >> flags)) return stat;
  stat.KernelThread = (flags & kKernelThreadFlag) != 0;
  for (int index = 10; index <= 18; ++index) {
    if (!(fields >> field)) return stat;
  }
  long nice = 0;
  if (fields >> nice) stat.Nice = nice;
  return stat;
}

// "tid (name) state ..." with the nice value as the 19th field and the scheduling policy as
// the 41st. A thread may name itself anything, blanks and parentheses included, so its name
// ends at the last ")".
std::optional<TTaskStat> ParseTaskStat(const std::string& text) {
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(text.substr(close + 1));
  TTaskStat stat;
  std::string skipped;
  if (!(fields >> stat.State)) return std::nullopt;
  for (int index = 4; index <= 18; ++index) {
    if (!(fields >> skipped)) return std::nullopt;
  }
  if (!(fields >> stat.Nice)) return std::nullopt;
  for (int index = 20; index <= 40; ++index) {
    if (!(fields >> skipped)) return std::nullopt;
  }
  // Kernels before 2.5.19 end the line before the policy: plain time sharing.
  if (!(fields >> stat.Policy)) stat.Policy = SCHED_OTHER;
  // A zombie is a main thread that has returned while others still run.
  if (stat.State == 'Z' || stat.State == 'X') return std::nullopt;
  return stat;
}

std::optional<double> StartTimeOfStat(const std::string& text) {
  // The name in field 2 may hold blanks and parentheses, so counting starts after its last ")".
  const std::size_t nameEnd = text.rfind(')');
  if (nameEnd == std::string::npos) return std::nullopt;
  std::istringstream fields(text.substr(nameEnd + 1));
  std::string field;
  for (int number = 3; number <= 22 && fields >> field; ++number) {
  }
  if (!fields) return std::nullopt;
  return std::strtod(field.c_str(), nullptr);
}

double UpTimeOfText(const std::string& text) {
  std::istringstream stream(text);
  double seconds = -1;
  if (!(stream >> seconds)) return -1;
  return seconds;
}

std::uint32_t SessionOfText(const std::string& text) {
  if (text.empty()) return 0;
  const unsigned long long session = std::strtoull(text.c_str(), nullptr, 10);
  return session >= kNoSession ? 0 : static_cast<std::uint32_t>(session);
}

}  // namespace Platform::Posix
