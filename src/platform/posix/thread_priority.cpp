#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

// Linux sets a nice value per thread; lowering it needs a right ordinary users lack.
bool RaiseCurrentThreadPriority() {
  const auto thread = static_cast<id_t>(syscall(SYS_gettid));
  return setpriority(PRIO_PROCESS, thread, -1) == 0;
}

}  // namespace Platform
