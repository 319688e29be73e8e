#include "platform/process_exit.h"

#include <unistd.h>

namespace Platform {

void ExitProcessNow(std::uint32_t exitCode) {
  // _exit skips atexit handlers and stdio flushing, and is async-signal-safe.
  _exit(static_cast<int>(exitCode));
}

}  // namespace Platform
