#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "updater/switches.h"
#include "updater/work.h"

namespace UpdateTests {

// Hands the switches a command line of the test's own for as long as it lives.
class ScopedCommandLine {
 public:
  explicit ScopedCommandLine(std::string rawCommandLine) {
    Update::Switches::SetRawCommandLineForTesting(std::move(rawCommandLine));
  }
  ~ScopedCommandLine() { Update::Switches::SetRawCommandLineForTesting(std::nullopt); }
};

// A path as one parameter of a command line.
inline std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

// Stands in for the world beyond files: records pauses, window probes and started programs.
struct FakeServices {
  std::vector<std::uint32_t> pauses;
  int windowProbes = 0;
  std::function<bool(int probe)> windowShown = [](int) { return false; };
  std::function<void(std::size_t pauseIndex)> onPause = [](std::size_t) {};
  std::vector<std::pair<std::string, bool>> started;

  Update::Work::TJobServices Make() {
    Update::Work::TJobServices services;
    services.Sleep = [this](std::uint32_t milliseconds) {
      pauses.push_back(milliseconds);
      onPause(pauses.size());
    };
    services.WindowExists = [this](const std::string*, const std::string*) {
      return windowShown(++windowProbes);
    };
    services.StartProgram = [this](const std::string& commandLine, bool wait) {
      started.emplace_back(commandLine, wait);
    };
    return services;
  }
};

// Collects what the job logs.
struct LogLines {
  std::vector<std::string> lines;
  Update::LogSink Sink() {
    return [this](std::string_view line) { lines.emplace_back(line); };
  }
};

}  // namespace UpdateTests
