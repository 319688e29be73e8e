#include <windows.h>

#include "platform/threads.h"

namespace Platform {
namespace {

TThreadContext FromContext(const CONTEXT& context) {
  TThreadContext result;
#if defined(__x86_64__) || defined(_M_X64)
  result.Ax = context.Rax;
  result.Bx = context.Rbx;
  result.Cx = context.Rcx;
  result.Dx = context.Rdx;
  result.Si = context.Rsi;
  result.Di = context.Rdi;
  result.R8 = context.R8;
  result.R9 = context.R9;
  result.R10 = context.R10;
  result.R11 = context.R11;
  result.R12 = context.R12;
  result.R13 = context.R13;
  result.R14 = context.R14;
  result.R15 = context.R15;
  result.Ip = context.Rip;
  result.Sp = context.Rsp;
  result.Bp = context.Rbp;
#else
  result.Ax = context.Eax;
  result.Bx = context.Ebx;
  result.Cx = context.Ecx;
  result.Dx = context.Edx;
  result.Si = context.Esi;
  result.Di = context.Edi;
  result.Ip = context.Eip;
  result.Sp = context.Esp;
  result.Bp = context.Ebp;
#endif
  result.Flags = context.EFlags;
  return result;
}

}  // namespace

// GetThreadContext of a running thread may give registers from the middle of a switch, so the
// thread is suspended for just the read when the handle allows it.
std::optional<TThreadContext> CaptureThreadContext(ThreadId thread, std::uint32_t) {
  CONTEXT context{};
  if (thread == GetCurrentThreadId()) {
    RtlCaptureContext(&context);
    return FromContext(context);
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
  return FromContext(context);
}

}  // namespace Platform
