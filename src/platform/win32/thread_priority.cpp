#include "platform/thread_priority.h"

#include <windows.h>

namespace Platform {

bool RaiseCurrentThreadPriority() {
  return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL) != FALSE;
}

}  // namespace Platform
