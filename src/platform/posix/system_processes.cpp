#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "platform/posix/system_files.h"
#include "platform/system_lists.h"

namespace Platform {
namespace {

// "4294967295" in /proc/<pid>/sessionid: the process belongs to no login session.
constexpr unsigned long long kNoSession = 4294967295ull;

std::vector<std::uint32_t> ProcessIds() {
  std::vector<std::uint32_t> ids;
  DIR* directory = opendir("/proc");
  if (directory == nullptr) return ids;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    ids.push_back(static_cast<std::uint32_t>(std::strtoul(name.c_str(), nullptr, 10)));
  }
  closedir(directory);
  std::sort(ids.begin(), ids.end());
  return ids;
}

// The Windows class closest to a nice value.
std::int32_t PriorityClassOfNice(long nice) {
  if (nice < -10) return kHighPriorityClass;
  if (nice < 0) return kAboveNormalPriorityClass;
  if (nice == 0) return kNormalPriorityClass;
  if (nice <= 10) return kBelowNormalPriorityClass;
  return kIdlePriorityClass;
}

// The kernel's flag for its own threads (PF_KTHREAD), which no header exports.
constexpr unsigned long kKernelThreadFlag = 0x00200000;

struct TStat {
  std::string Name;
  bool KernelThread = false;
  std::optional<long> Nice;
};

// "pid (name) state ppid ... flags ... priority nice ...": the name may hold blanks and
// parentheses, so it ends at the last ")".
TStat ReadStat(const std::string& folder) {
  TStat stat;
  const std::string text = Posix::ReadSystemFile(folder + "/stat");
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

std::uint32_t SessionOf(const std::string& folder) {
  const std::string text = Posix::ReadSystemValue(folder + "/sessionid");
  if (text.empty()) return 0;
  const unsigned long long session = std::strtoull(text.c_str(), nullptr, 10);
  return session >= kNoSession ? 0 : static_cast<std::uint32_t>(session);
}

}  // namespace

std::uint32_t CurrentProcessId() {
  return static_cast<std::uint32_t>(getpid());
}

std::vector<TProcessRecord> ListProcesses() {
  std::vector<TProcessRecord> processes;
  processes.reserve(64);
  for (const std::uint32_t id : ProcessIds()) {
    const std::string folder = "/proc/" + std::to_string(id);
    const TStat stat = ReadStat(folder);
    // Gone since the folder was listed.
    if (stat.Name.empty() && !Posix::PathExists(folder)) continue;
    // The kernel's own workers are no programs a reader looks for.
    if (stat.KernelThread) continue;
    TProcessRecord process;
    process.ProcessId = id;
    // Another user's program keeps the short name of its stat.
    const std::string path = Posix::ReadLinkTarget(folder + "/exe");
    const std::size_t separator = path.rfind('/');
    if (!path.empty() && separator != std::string::npos) {
      process.FileName = path.substr(separator + 1);
      process.Directory = path.substr(0, separator);
    } else {
      process.FileName = stat.Name;
    }
    process.SessionId = SessionOf(folder);
    if (stat.Nice) process.PriorityClass = PriorityClassOfNice(*stat.Nice);
    processes.push_back(std::move(process));
  }
  return processes;
}

}  // namespace Platform
