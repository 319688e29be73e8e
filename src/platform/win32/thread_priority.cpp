#include "platform/thread_priority.h"

#include <windows.h>

namespace Platform {

bool RaiseCurrentThreadPriority() {
  return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL) != FALSE;
}

bool SetThreadPriorityLevel(ThreadId thread, int level) {
  const HANDLE handle =
      OpenThread(THREAD_SET_INFORMATION | THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread);
  if (handle == nullptr) return false;
  // A thread id may meanwhile name a thread of another process.
  const bool done = GetProcessIdOfThread(handle) == GetCurrentProcessId() &&
                    SetThreadPriority(handle, level) != FALSE;
  CloseHandle(handle);
  return done;
}

}  // namespace Platform
