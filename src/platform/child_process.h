#pragma once

#include <cstdint>
#include <string>

namespace Platform {

struct CapturedRun {
  bool started = false;
  bool timedOut = false;
  int exitCode = -1;
  std::string output;  // the bytes the program wrote to its standard output
};

// Runs the program that the command line names (taken from the command line as StartProcess
// does), waits for its end and returns what it wrote to standard output. A program still
// running after timeoutMilliseconds is killed. Standard error is inherited. The tests and
// the demo use it to watch the updater from outside.
[[nodiscard]] CapturedRun RunCaptured(const std::string& commandLine,
                                      std::uint32_t timeoutMilliseconds);

}  // namespace Platform
