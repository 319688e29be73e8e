#pragma once

#include <string>
#include <string_view>
#include <vector>

// How a POSIX program maps between its argument vector and a command line written the
// Windows way: one text that the updater's parameter rule splits. Portable, so that the
// rules are tested on every build.
namespace Platform::CommandLine {

// Joins arguments by single spaces; one that holds a character with a code of 32 or less and
// no double quote is enclosed in double quotes, every other one stays as it is.
std::string Join(const std::vector<std::string>& arguments);

struct ProgramCandidate {
  std::string program;
  std::vector<std::string> arguments;  // without the program
};

// The readings of a command line's program, shortest first: the first parameter, then, while
// the parameters are unquoted, the raw text up to the end of each following one, since an
// unquoted path may contain spaces. Empty when the line names no program.
std::vector<ProgramCandidate> ProgramCandidates(std::string_view commandLine);

}  // namespace Platform::CommandLine
