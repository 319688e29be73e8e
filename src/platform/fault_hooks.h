#pragma once

#include <cstdint>

#include "platform/threads.h"

// Faults of the processor and the runtime that no code of the program can catch (a bad memory
// access, a division by zero, an illegal instruction, a stack overflow, an abort) reach the
// crash reporter through one hook, with the registers of the moment of the fault.
namespace Platform {

enum class TFaultKind : std::uint8_t {
  AccessViolation,
  StackOverflow,
  IntDivideByZero,
  IntOverflow,
  FloatDivideByZero,
  FloatOverflow,
  FloatUnderflow,
  FloatInexact,
  FloatInvalidOperation,
  IllegalInstruction,
  PrivilegedInstruction,
  Abort,
  Other,
};

enum class TFaultAccess : std::uint8_t { Unknown, Read, Write, Execute };

struct TFaultInfo {
  TFaultKind Kind = TFaultKind::Other;
  // Windows: the exception code; POSIX: the signal number.
  std::uint32_t Code = 0;
  std::uint64_t Address = 0;      // the faulting instruction
  std::uint64_t DataAddress = 0;  // the address a bad access touched
  TFaultAccess Access = TFaultAccess::Unknown;
  bool HasContext = false;
  TThreadContext Context;
  ThreadId Thread = 0;
};

// Runs on the faulting thread: POSIX inside the signal handler (on the thread's alternate stack
// when it has one), so it may only do what is safe there; Windows in the unhandled-exception
// filter, or in a vectored handler for a stack overflow. Returning gives the fault back to the
// system, which then ends the process as it would have without the hook.
using TFaultHook = void (*)(const TFaultInfo& fault);

// One hook per process; installing again replaces it. False when the system refused.
[[nodiscard]] bool InstallFaultHook(TFaultHook hook);
// Restores the system's own handling.
void RemoveFaultHook();

// A child that this process forks is a copy with faults of its own, which the hook, made for
// this process, must not take: in the child the fault signals get back the handling they had
// before InstallFaultHook (the system's default action) and the hook is gone. Then the
// forked-child hook runs, so that its owner can forget what only the parent has (a thread
// that takes faults over is not in the copy). It runs in the child right after fork: only
// async-signal-safe work there. Windows has no fork: never called.
using TForkedChildHook = void (*)();
void SetForkedChildHook(TForkedChildHook hook);

// Lets the calling thread report its own stack overflow: an alternate signal stack (POSIX) or
// a stack guarantee for the handler (Windows). InstallFaultHook does this for the calling
// thread; every thread the program starts should do it first.
[[nodiscard]] bool PrepareThreadForFaults();
// Gives back what PrepareThreadForFaults took; call on the same thread before it ends.
void ReleaseThreadFaults();

// Finds where the main thread's stack ends, which tells its overflow from another bad access
// far below its stack pointer. POSIX reads the process's memory map for it, a cost that no
// start should pay: call it from another thread once the program runs. Until then the main
// thread's overflows are told by the stack pointer alone. Nothing to do on Windows.
void NoteMainThreadStack();

// Windows programs name a thread by raising the exception 0x406D1388; the hook gets the name
// (UTF-8) and the thread it names, and the raiser goes on. Never called on POSIX.
using TThreadNameHook = void (*)(ThreadId thread, const char* name);
void SetThreadNameHook(TThreadNameHook hook);

// Ends the calling thread at once with exit code 0, without unwinding its stack: for a thread
// whose fault was reported and that cannot go on.
[[noreturn]] void ExitCurrentThread();

}  // namespace Platform
