#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rtl/cpu_context.h"

// The threads of this process and their processor state, for call stacks of every thread.
namespace Platform {

using ThreadId = std::uint32_t;

ThreadId CurrentThreadId();
ThreadId MainThreadId();

// Every thread of this process, the main thread first.
std::vector<ThreadId> ListThreads();

// The integer and control registers of a thread. Pointer-sized: on a 32-bit build the upper
// halves are zero. Ax..Di are eax..edi (rax..rdi on x86-64); R8..R15 only on x86-64.
using TThreadContext = RTL::TCpuContext;

// The context of the thread, read without suspending it for longer than the read takes:
// Windows opens the thread and calls GetThreadContext (suspended for just that call when the
// handle allows it); POSIX sends the thread a signal whose handler copies its context out,
// waiting at most timeoutMilliseconds (a thread that ends or keeps the signal blocked is given
// up on early). The calling thread gets its own current registers. None when the thread is
// gone, refuses or does not answer.
[[nodiscard]] std::optional<TThreadContext> CaptureThreadContext(
    ThreadId thread, std::uint32_t timeoutMilliseconds = 1000);

// The committed stack range of the thread that contains stackPointer: [Bottom, Top), Bottom
// being the stack pointer itself. None when the pointer lies in no readable region.
struct TStackRange {
  std::uintptr_t Bottom = 0;
  std::uintptr_t Top = 0;
};
[[nodiscard]] std::optional<TStackRange> StackRangeAt(std::uintptr_t stackPointer);

// The calling thread's stack range from its thread information (Windows: the TIB; POSIX: the
// pthread attributes), Bottom being the current stack pointer.
TStackRange CurrentThreadStackRange();

// A thread's name as the system keeps it (Linux /proc/self/task/<tid>/comm, Windows
// GetThreadDescription where present); empty when it has none.
std::string ThreadName(ThreadId thread);

// Names the calling thread for ThreadName and debuggers. Linux keeps the first 15 bytes;
// Windows needs SetThreadDescription (Windows 10 1607 and later). False when not possible.
[[nodiscard]] bool SetCurrentThreadName(const std::string& name);

}  // namespace Platform
