#include "platform/child_process.h"

namespace Platform {

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
