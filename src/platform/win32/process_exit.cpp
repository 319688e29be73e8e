#include "platform/process_exit.h"

#include <windows.h>

namespace Platform {

void ExitProcessNow(std::uint32_t exitCode) {
  // Not ExitProcess: that runs the DLL detach notifications and the runtime's shutdown, which
  // can deadlock or fault in a process that is failing.
  TerminateProcess(GetCurrentProcess(), exitCode);
  // Termination completes asynchronously for the calling thread; it must not come back.
  for (;;) Sleep(INFINITE);
}

}  // namespace Platform
