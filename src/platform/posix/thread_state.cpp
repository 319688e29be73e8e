#include "platform/thread_state.h"

#include <sched.h>

#include <string>

#include "platform/posix/proc_texts.h"
#include "platform/posix/system_files.h"

namespace Platform {
namespace {

// Deadline scheduling, which the C library's headers may not name.
constexpr int kSchedDeadline = 6;

// None for a thread of another process or one that has gone.
std::optional<Posix::TTaskStat> ReadTaskStat(ThreadId thread) {
  return Posix::ParseTaskStat(
      Posix::ReadSystemFile("/proc/self/task/" + std::to_string(thread) + "/stat"));
}

int LevelOfNice(long nice) {
  if (nice < -10) return kThreadPriorityHighest;
  if (nice < 0) return kThreadPriorityAboveNormal;
  if (nice == 0) return kThreadPriorityNormal;
  if (nice <= 10) return kThreadPriorityBelowNormal;
  return kThreadPriorityLowest;
}

}  // namespace

TThreadSuspension ThreadSuspension(ThreadId thread) {
  const std::optional<Posix::TTaskStat> stat = ReadTaskStat(thread);
  if (!stat) return TThreadSuspension::Unknown;
  // "T": stopped by a signal; "t": held by a tracer such as a debugger.
  return stat->State == 'T' || stat->State == 't' ? TThreadSuspension::Suspended
                                                  : TThreadSuspension::Running;
}

std::optional<int> ThreadPriorityLevel(ThreadId thread) {
  const std::optional<Posix::TTaskStat> stat = ReadTaskStat(thread);
  if (!stat) return std::nullopt;
  switch (stat->Policy) {
    case SCHED_FIFO:
    case SCHED_RR:
    case kSchedDeadline:
      return kThreadPriorityTimeCritical;
    case SCHED_IDLE:
      return kThreadPriorityIdle;
    default:
      return LevelOfNice(stat->Nice);
  }
}

}  // namespace Platform
