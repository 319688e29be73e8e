#include "platform/child_process.h"

namespace Platform {

std::optional<std::string> ChildProcess::TakeLine(std::string& readAhead) {
  const std::size_t end = readAhead.find('\n');
  if (end == std::string::npos) return std::nullopt;
  std::string line = readAhead.substr(0, end);
  readAhead.erase(0, end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

CapturedRun RunCaptured(const std::string& commandLine, std::uint32_t timeoutMilliseconds) {
  CapturedRun run;
  ChildProcess child(commandLine);
  run.started = child.Started();
  if (!run.started) return run;
  child.CloseInput();
  const std::optional<int> exitCode = child.WaitForExit(timeoutMilliseconds, &run.output);
  run.timedOut = !exitCode;
  run.exitCode = exitCode ? *exitCode : child.Kill();
  return run;
}

}  // namespace Platform
