#pragma once

#include <cstdint>

#include "platform/threads.h"

// Every thread the program starts runs its function through a wrapper, so that the crash
// reporter knows who started it and when it ends, and so that each thread can report its own
// stack overflow. POSIX interposes the thread library's pthread_create; Windows redirects the
// executable's imports of _beginthreadex and CreateThread.
namespace Platform {

struct TThreadStart {
  ThreadId Thread = 0;               // the new thread (the hook runs on it)
  ThreadId Creator = 0;              // the thread that asked for it
  std::uint64_t CreatorAddress = 0;  // the code that asked for it
};

// Runs on the new thread before its function.
using TThreadStartedHook = void (*)(const TThreadStart& start);
// Runs on the thread after its function returned (also when it ended the thread early through
// the thread library).
using TThreadEndedHook = void (*)(ThreadId thread);

// Threads started from now on run through the wrapper and call the hooks. False when the
// wrapper could not be put in place (the threads then start as before, unseen).
[[nodiscard]] bool InstallThreadHooks(TThreadStartedHook started, TThreadEndedHook ended);
// Threads started from now on start as before; running ones still end through the wrapper.
void RemoveThreadHooks();

}  // namespace Platform
