#include "platform/open_with_default_handler.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/posix/child_start.h"
#include "platform/posix/program_lookup.h"

namespace Platform {
namespace {

// xdg-open along PATH; none on systems without a desktop.
std::string FindXdgOpen() {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    if (!folder.empty()) {
      const std::string candidate = folder + "/xdg-open";
      struct stat info {};
      if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
          access(candidate.c_str(), X_OK) == 0) {
        return candidate;
      }
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

bool OpenWithDefaultHandler(const std::string& target) {
  if (target.empty()) return false;
  const std::string program = FindXdgOpen();
  if (program.empty()) return false;
  Posix::ResolvedCommand command{program, {program, target}};
  const pid_t child = Posix::StartChild(command, true);
  if (child < 0) return false;
  Posix::WaitForChild(child);
  return true;
}

}  // namespace Platform
