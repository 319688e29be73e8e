#include "platform/thread_state.h"

#include <windows.h>

namespace Platform {
namespace {

// A living thread of this process, opened with the rights asked for and the right to wait on
// it; null otherwise. An ended thread keeps its id while a handle to it is open, and a thread
// id may meanwhile name a thread of another process.
HANDLE OpenLivingThread(ThreadId thread, DWORD rights) {
  const HANDLE handle =
      OpenThread(rights | SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread);
  if (handle == nullptr) return nullptr;
  if (GetProcessIdOfThread(handle) != GetCurrentProcessId() ||
      WaitForSingleObject(handle, 0) != WAIT_TIMEOUT) {
    CloseHandle(handle);
    return nullptr;
  }
  return handle;
}

}  // namespace

TThreadSuspension ThreadSuspension(ThreadId thread) {
  // Suspending itself would never return.
  if (thread == GetCurrentThreadId()) return TThreadSuspension::Running;
  const HANDLE handle = OpenLivingThread(thread, THREAD_SUSPEND_RESUME | THREAD_QUERY_INFORMATION);
  if (handle == nullptr) return TThreadSuspension::Unknown;
  TThreadSuspension state = TThreadSuspension::Unknown;
  const DWORD previousCount = SuspendThread(handle);
  if (previousCount != static_cast<DWORD>(-1)) {
    ResumeThread(handle);
    state = previousCount > 0 ? TThreadSuspension::Suspended : TThreadSuspension::Running;
  }
  CloseHandle(handle);
  return state;
}

std::optional<int> ThreadPriorityLevel(ThreadId thread) {
  const HANDLE handle = OpenLivingThread(thread, THREAD_QUERY_INFORMATION);
  if (handle == nullptr) return std::nullopt;
  const int level = GetThreadPriority(handle);
  CloseHandle(handle);
  if (level == THREAD_PRIORITY_ERROR_RETURN) return std::nullopt;
  return level;
}

}  // namespace Platform
