#pragma once

#include <cstdint>
#include <string>

namespace Platform {

// The complete command line of this process as its starter wrote it, program path and
// quotes included. POSIX hands a program only its split arguments, so there it is rebuilt
// from argv: arguments joined by single spaces, an argument that holds a character with a
// code of 32 or less and no double quote enclosed in double quotes, every other one as is.
std::string RawCommandLine();

// Starts the program that the command line names, with this process's environment and
// current directory and no inherited handles beyond the standard ones, and waits for its end
// when asked. False when nothing was started.
//
// Windows lets CreateProcessW take the program from the command line. POSIX splits it by the
// updater's parameter rule: the first parameter is the program; an unquoted program path with
// spaces is tried at each space, shortest first; a name without "/" is searched in this
// program's folder, then in the absolute folders of PATH, never in the current folder. A
// child not waited for is detached so that it outlives this process and leaves no zombie, and
// it inherits no handles at all: its standard streams go to the null device, so that nobody
// reading ours waits for its end.
[[nodiscard]] bool StartProcess(const std::string& commandLine, bool wait);

// Full path and folder (with a trailing separator) of this program's executable.
std::string ExecutablePath();
std::string ExecutableDirectory();

// The value of an environment variable; empty when unset.
std::string EnvironmentValue(const std::string& name);

// The user's profile folder with a trailing separator: USERPROFILE on Windows, HOME on
// POSIX. Unset or empty gives a lone separator (the root of the current drive).
std::string ProfileDirectory();

void SleepMilliseconds(std::uint32_t milliseconds);

}  // namespace Platform
