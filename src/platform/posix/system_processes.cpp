#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/posix/proc_texts.h"
#include "platform/posix/system_files.h"
#include "platform/system_lists.h"

namespace Platform {
namespace {

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

}  // namespace

std::uint32_t CurrentProcessId() {
  return static_cast<std::uint32_t>(getpid());
}

std::vector<TProcessRecord> ListProcesses() {
  std::vector<TProcessRecord> processes;
  processes.reserve(64);
  for (const std::uint32_t id : ProcessIds()) {
    const std::string folder = "/proc/" + std::to_string(id);
    const Posix::TProcessStat stat =
        Posix::ParseProcessStat(Posix::ReadSystemFile(folder + "/stat"));
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
    process.SessionId = Posix::SessionOfText(Posix::ReadSystemValue(folder + "/sessionid"));
    if (stat.Nice) process.PriorityClass = PriorityClassOfNice(*stat.Nice);
    processes.push_back(std::move(process));
  }
  return processes;
}

}  // namespace Platform
