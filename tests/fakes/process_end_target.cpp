// ProcessEndTarget <mode> ...: ends itself in the ways the crash reporter does.
//   exit | exit-now | exit-now-thread: buffers "buffered" on standard output, registers an
//     atexit handler that adds "atexit", and ends with code 3 through std::exit (for
//     comparison), ExitProcessNow, or ExitProcessNow on a second thread.
//   restart <result-file> <text>: started afresh, restarts itself with the known payload; the
//     restarted instance writes "<payload as hex>\n<text>\n" into <result-file> and ends with 0.
//   take-handover: says its process id, waits until its standard input ends, looks for a
//     hand-over as a restarted instance does and says "payload" or "none".
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "fakes/ready_release.h"
#include "fakes/restart_payload.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/process_exit.h"
#include "platform/restart_handover.h"
#include "platform/system_lists.h"
#include "rtl/parameters.h"

namespace {

constexpr int kEndCode = 3;
// Set before the restart and inherited: a restarted instance that finds no hand-over must
// not restart again.
const std::string kRestartedVariable = "UPDATE_TEST_RESTARTED";

// Whole or not at all: written beside the path and renamed onto it, so that a test that sees
// the file also reads all of it. The restarted instance has none of the test's handles, so
// it tells its outcome through this file.
void WriteText(const std::string& path, const std::string& text) {
  const std::string part = path + ".part";
  {
    auto file = Platform::File::Open(part, Platform::File::Mode::CreateAlwaysReadWrite);
    if (!file || !file->Write(text.data(), text.size())) return;
  }
  (void)Platform::MoveOverTarget(part, path);  // the test's wait for the file then fails
}

int EndWithBufferedOutput(const std::string& mode) {
  static char buffer[256];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof(buffer));
  std::fputs("buffered", stdout);
  std::atexit([] { std::fputs("atexit", stdout); });
  if (mode == "exit") std::exit(kEndCode);
  if (mode == "exit-now") Platform::ExitProcessNow(kEndCode);
  if (mode == "exit-now-thread") {
    std::thread([] { Platform::ExitProcessNow(kEndCode); }).join();
  }
  return 1;  // still here: the process did not end
}

int Restart(const std::string& resultFile, const std::string& text) {
  if (const auto payload = Platform::TakeRestartHandover()) {
    WriteText(resultFile, Fakes::HexText(*payload) + "\n" + text + "\n");
    return 0;
  }
  if (!Platform::EnvironmentValue(kRestartedVariable).empty()) {
    WriteText(resultFile, "restarted without a hand-over\n");
    return 1;
  }
  // Unmarked, the new process would restart again.
  if (!Platform::SetEnvironmentValue(kRestartedVariable, "1")) {
    WriteText(resultFile, "environment not set\n");
    return 1;
  }
  (void)Platform::RestartOwnProcess(Fakes::KnownRestartPayload());  // returns only on failure
  WriteText(resultFile, "not restarted\n");
  return 1;
}

int TakeHandover() {
  Fakes::SayReady(std::to_string(Platform::CurrentProcessId()));
  Fakes::WaitForRelease();
  Fakes::SayReady(Platform::TakeRestartHandover() ? "payload" : "none");
  return 0;
}

}  // namespace

int main() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  if (parameters.size() < 2) return 64;  // not 2, which stands for a restart
  const std::string& mode = parameters[1].text;
  if (mode == "restart" && parameters.size() >= 4) {
    return Restart(parameters[2].text, parameters[3].text);
  }
  if (mode == "take-handover") return TakeHandover();
  return EndWithBufferedOutput(mode);
}
