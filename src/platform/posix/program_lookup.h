#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Platform::Posix {

struct ResolvedCommand {
  std::string file;               // the program file to run
  std::vector<std::string> argv;  // the program as written, then its arguments
};

// Reads a command line the way the updater writes it: the first parameter names the program,
// an unquoted path with spaces is tried at each space (shortest first), and a name without
// "/" is looked for beside this program, then in the absolute folders of PATH, never in the
// current folder. Empty when no reading names an executable file.
std::optional<ResolvedCommand> ResolveCommandLine(const std::string& commandLine);

}  // namespace Platform::Posix
