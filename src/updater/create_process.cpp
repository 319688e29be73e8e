#include "updater/create_process.h"

#include "platform/process.h"

namespace Update::CreateProcess {

void StartProgram(const std::string& ACommandLine, bool AWait) {
  // The job goes on as if the program had run: a missing tool or caller is no failure.
  (void)Platform::StartProcess(ACommandLine, AWait);
}

}  // namespace Update::CreateProcess
