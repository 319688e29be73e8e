#pragma once

#include "platform/threads.h"

// Thread priorities of this process, for the reporter's helper threads.
namespace Platform {

// Raises the calling thread above normal priority; false when the system does not allow it
// (POSIX without the right to raise it).
[[nodiscard]] bool RaiseCurrentThreadPriority();

// Gives a thread of this process one of the levels of thread_state.h. POSIX sets the
// thread's nice value to the middle of the level's range, time critical as real-time and
// idle as idle scheduling. False when the thread is gone or the system refuses (raising a
// POSIX thread needs a right ordinary users lack).
[[nodiscard]] bool SetThreadPriorityLevel(ThreadId thread, int level);

}  // namespace Platform
