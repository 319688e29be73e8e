#include "platform/thread_hold.h"

#include <windows.h>

namespace Platform {

ThreadHold::ThreadHold(ThreadId thread) {
  if (thread == GetCurrentThreadId()) return;
  const HANDLE handle =
      OpenThread(THREAD_SUSPEND_RESUME | THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread);
  if (handle == nullptr) return;
  if (GetProcessIdOfThread(handle) != GetCurrentProcessId() ||
      SuspendThread(handle) == static_cast<DWORD>(-1)) {
    CloseHandle(handle);
    return;
  }
  handle_ = handle;
  holding_ = true;
}

ThreadHold::~ThreadHold() {
  if (handle_ == nullptr) return;
  ResumeThread(handle_);
  CloseHandle(handle_);
}

}  // namespace Platform
