#pragma once

#include <optional>

#include "platform/threads.h"

// What a report tells about a thread of this process besides its stack: whether something
// holds it stopped, and how its priority differs from the normal one.
namespace Platform {

enum class TThreadSuspension { Running, Suspended, Unknown };

// Windows opens the thread and suspends it for a moment: a previous suspend count above 0
// means that it was suspended already. The calling thread is never suspended; it runs. POSIX
// reads the thread's state in /proc: stopped by a signal or a tracer counts as suspended.
// Unknown when the thread has ended or cannot be opened or read.
[[nodiscard]] TThreadSuspension ThreadSuspension(ThreadId thread);

// Relative priority levels as Windows names them.
inline constexpr int kThreadPriorityIdle = -15;
inline constexpr int kThreadPriorityLowest = -2;
inline constexpr int kThreadPriorityBelowNormal = -1;
inline constexpr int kThreadPriorityNormal = 0;
inline constexpr int kThreadPriorityAboveNormal = 1;
inline constexpr int kThreadPriorityHighest = 2;
inline constexpr int kThreadPriorityTimeCritical = 15;

// The thread's priority level. Windows: GetThreadPriority. POSIX: the thread's own nice value
// on the bounds the process list uses for priority classes (below -10 highest, below 0 above
// normal, 0 normal, up to 10 below normal, above that lowest); real-time scheduling is time
// critical and idle scheduling idle. None when the thread has ended or cannot be read.
[[nodiscard]] std::optional<int> ThreadPriorityLevel(ThreadId thread);

}  // namespace Platform
