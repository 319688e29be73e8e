#include <windows.h>

#include "platform/threads.h"
#include "platform/win32/cpu_context.h"

namespace Platform {

// GetThreadContext of a running thread may give registers from the middle of a switch, so the
// thread is suspended for just the read when the handle allows it.
std::optional<TThreadContext> CaptureThreadContext(ThreadId thread, std::uint32_t) {
  CONTEXT context{};
  if (thread == GetCurrentThreadId()) {
    RtlCaptureContext(&context);
    return Win32::FromContext(context);
  }
  bool mayQuery = true;
  HANDLE handle = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION,
                             FALSE, thread);
  if (handle == nullptr) {
    mayQuery = false;
    handle = OpenThread(THREAD_GET_CONTEXT, FALSE, thread);
  }
  if (handle == nullptr) return std::nullopt;
  DWORD exitCode = 0;
  if (mayQuery && GetExitCodeThread(handle, &exitCode) && exitCode != STILL_ACTIVE) {
    CloseHandle(handle);
    return std::nullopt;
  }
  context.ContextFlags = CONTEXT_INTEGER | CONTEXT_CONTROL;
  const bool suspended = mayQuery && SuspendThread(handle) != static_cast<DWORD>(-1);
  const bool read = GetThreadContext(handle, &context) != FALSE;
  if (suspended) ResumeThread(handle);
  CloseHandle(handle);
  if (!read) return std::nullopt;
  return Win32::FromContext(context);
}

}  // namespace Platform
