#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The threads of this process and their processor state, for call stacks of every thread.
namespace Platform {

using ThreadId = std::uint32_t;

ThreadId CurrentThreadId();
ThreadId MainThreadId();

// Every thread of this process, the main thread first.
std::vector<ThreadId> ListThreads();

// The integer and control registers of a thread. Pointer-sized: on a 32-bit build the upper
// halves are zero. Ax..Di are eax..edi (rax..rdi on x86-64); R8..R15 only on x86-64.
struct TThreadContext {
  std::uint64_t Ax = 0, Bx = 0, Cx = 0, Dx = 0, Si = 0, Di = 0;
  std::uint64_t R8 = 0, R9 = 0, R10 = 0, R11 = 0, R12 = 0, R13 = 0, R14 = 0, R15 = 0;
  std::uint64_t Ip = 0;  // instruction pointer
  std::uint64_t Sp = 0;  // stack pointer
  std::uint64_t Bp = 0;  // frame pointer
  std::uint64_t Flags = 0;
  // The upper end of the thread's stack when the system tells it (POSIX: the thread's stack
  // attributes, since the mapping around its stack also holds its thread-local data); 0 when
  // unknown, and then StackRangeAt tells.
  std::uint64_t StackTop = 0;
};

// The context of the thread, read without suspending it for longer than the read takes:
// Windows opens the thread and calls GetThreadContext (suspended for just that call when the
// handle allows it); POSIX sends the thread a signal whose handler copies its context out,
// waiting at most timeoutMilliseconds (a thread that ends or keeps the signal blocked is given
// up on early). The calling thread gets its own current registers. None when the thread is
// gone, refuses or does not answer.
std::optional<TThreadContext> CaptureThreadContext(ThreadId thread,
                                                   std::uint32_t timeoutMilliseconds = 1000);

// The committed stack range of the thread that contains stackPointer: [Bottom, Top), Bottom
// being the stack pointer itself. None when the pointer lies in no readable region.
struct TStackRange {
  std::uintptr_t Bottom = 0;
  std::uintptr_t Top = 0;
};
std::optional<TStackRange> StackRangeAt(std::uintptr_t stackPointer);

// The calling thread's stack range from its thread information (Windows: the TIB; POSIX: the
// pthread attributes), Bottom being the current stack pointer.
TStackRange CurrentThreadStackRange();

// A thread's name as the system keeps it (Linux /proc/self/task/<tid>/comm, Windows
// GetThreadDescription where present); empty when it has none.
std::string ThreadName(ThreadId thread);

// Names the calling thread for ThreadName and debuggers. Linux keeps the first 15 bytes;
// Windows needs SetThreadDescription (Windows 10 1607 and later). False when not possible.
bool SetCurrentThreadName(const std::string& name);

}  // namespace Platform
