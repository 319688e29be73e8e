#include "reporter/core/start_up.h"

#include <algorithm>

#include "platform/memory_map.h"
#include "platform/return_addresses.h"
#include "platform/threads.h"
#include "reporter/core/thread_registry.h"
#include "rtl/exceptions.h"

namespace Reporter::Core {
namespace {

// The report's stack dump shows the first 320 bytes; a debugger that walks the dump needs the
// frames of the raising code's callers too, which the unwinding writes over afterwards.
constexpr std::size_t kRaiseStackBytes = 4096;

// The registers are those of this moment, a few calls below the raising code, with its
// instruction, stack and frame pointers put in; the stack above it is still as the raising
// code left it.
bool CaptureRaiseContext(std::uintptr_t ip, std::uintptr_t sp, std::uintptr_t bp,
                         RTL::TRaiseContext& out) {
  const auto registers = Platform::CaptureThreadContext(Platform::CurrentThreadId());
  if (!registers) return false;
  out.Registers = *registers;
  out.Registers.Ip = ip;
  out.Registers.Sp = sp;
  out.Registers.Bp = bp;
  const Platform::TStackRange stack = Platform::CurrentThreadStackRange();
  if (sp >= stack.Bottom && sp < stack.Top) {
    out.Stack.resize(std::min<std::uintptr_t>(stack.Top - sp, kRaiseStackBytes));
    if (!Platform::ReadMemory(sp, out.Stack.data(), out.Stack.size())) out.Stack.clear();
  }
  return true;
}

}  // namespace

void InstallRaiseStackCapture() {
  RTL::SetStackCapture(&Platform::CaptureReturnAddresses);
  RTL::SetContextCapture(&CaptureRaiseContext);
}

void StartUpReportedExceptions() {
  InstallRaiseStackCapture();
  if (OpenThreadRegistry()) EnterMainThread();
}

}  // namespace Reporter::Core
