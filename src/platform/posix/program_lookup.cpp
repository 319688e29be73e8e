#include "platform/posix/program_lookup.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/command_line.h"
#include "platform/process.h"

namespace Platform::Posix {
namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return folder.back() == '/' ? folder + name : folder + '/' + name;
}

// The file the program name stands for, or empty. The current folder is never searched, nor
// an empty or relative PATH entry, which would mean it or a folder below it: whoever can
// leave a file in the folder Update was started from would choose the program it starts.
std::string FindProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  std::vector<std::string> folders = {ExecutableDirectory()};
  const std::string path = EnvironmentValue("PATH");
  for (std::size_t begin = 0; !path.empty() && begin <= path.size();) {
    std::size_t end = path.find(':', begin);
    if (end == std::string::npos) end = path.size();
    folders.push_back(path.substr(begin, end - begin));
    begin = end + 1;
  }
  for (const std::string& folder : folders) {
    if (folder.empty() || folder[0] != '/') continue;
    std::string candidate = InFolder(folder, name);
    if (IsExecutableFile(candidate)) return candidate;
  }
  return {};
}

}  // namespace

std::optional<ResolvedCommand> ResolveCommandLine(const std::string& commandLine) {
  for (CommandLine::ProgramCandidate& candidate : CommandLine::ProgramCandidates(commandLine)) {
    std::string file = FindProgram(candidate.program);
    if (file.empty()) continue;
    ResolvedCommand command{std::move(file), {std::move(candidate.program)}};
    for (std::string& argument : candidate.arguments) command.argv.push_back(std::move(argument));
    return command;
  }
  return std::nullopt;
}

}  // namespace Platform::Posix
