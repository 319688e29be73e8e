#include "platform/process.h"

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/command_line.h"
#include "platform/console.h"
#include "platform/posix/child_start.h"
#include "platform/posix/program_lookup.h"
#include "platform/posix/system_files.h"

namespace Platform {

std::string RawCommandLine() {
  return CommandLine::Join(Posix::OwnArguments());
}

bool StartProcess(const std::string& commandLine, bool wait) {
  // The child shares our standard output: what we buffered must come out before its lines.
  Console::Flush();
  try {
    const std::optional<Posix::ResolvedCommand> command = Posix::ResolveCommandLine(commandLine);
    if (!command) return false;
    const pid_t child = Posix::StartChild(*command, !wait);
    if (child < 0) return false;
    // The program itself, or the intermediate child of a detached one, which ends at once.
    Posix::WaitForChild(child);
    return true;
  } catch (...) {
    return false;
  }
}

std::string ExecutablePath() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      // A program file replaced while it runs shows as "<path> (deleted)"; the path itself
      // names the new file.
      constexpr std::string_view kDeleted = " (deleted)";
      if (path.ends_with(kDeleted) && access(path.c_str(), F_OK) != 0) {
        path.resize(path.size() - kDeleted.size());
      }
      return path;
    }
    if (path.size() >= 0x10000) return {};
    path.resize(path.size() * 2);
  }
}

std::string ExecutableDirectory() {
  const std::string path = ExecutablePath();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "/";
  return path.substr(0, slash + 1);
}

std::string EnvironmentValue(const std::string& name) {
  if (name.empty() || name.find('=') != std::string::npos) return {};
  const char* value = getenv(name.c_str());
  return value != nullptr ? value : std::string();
}

std::string ProfileDirectory() {
  std::string home = EnvironmentValue("HOME");
  if (home.empty() || home.back() != '/') home += '/';
  return home;
}

void SleepMilliseconds(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace Platform
