#include "platform/thread_state.h"

#include <sched.h>

#include <sstream>
#include <string>

#include "platform/posix/system_files.h"

namespace Platform {
namespace {

// Deadline scheduling, which the C library's headers may not name.
constexpr int kSchedDeadline = 6;

struct TTaskStat {
  char State = '\0';
  long Nice = 0;
  int Policy = SCHED_OTHER;
};

// "tid (name) state ..." with the nice value as the 19th field and the scheduling policy as
// the 41st. A thread may name itself anything, blanks and parentheses included, so its name
// ends at the last ")". None for a thread of another process or one that has gone.
std::optional<TTaskStat> ReadTaskStat(ThreadId thread) {
  const std::string text =
      Posix::ReadSystemFile("/proc/self/task/" + std::to_string(thread) + "/stat");
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(text.substr(close + 1));
  TTaskStat stat;
  std::string skipped;
  if (!(fields >> stat.State)) return std::nullopt;
  for (int index = 4; index <= 18; ++index) {
    if (!(fields >> skipped)) return std::nullopt;
  }
  if (!(fields >> stat.Nice)) return std::nullopt;
  for (int index = 20; index <= 40; ++index) {
    if (!(fields >> skipped)) return std::nullopt;
  }
  // Kernels before 2.5.19 end the line before the policy: plain time sharing.
  if (!(fields >> stat.Policy)) stat.Policy = SCHED_OTHER;
  // A zombie is a main thread that has returned while others still run.
  if (stat.State == 'Z' || stat.State == 'X') return std::nullopt;
  return stat;
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
  const std::optional<TTaskStat> stat = ReadTaskStat(thread);
  if (!stat) return TThreadSuspension::Unknown;
  // "T": stopped by a signal; "t": held by a tracer such as a debugger.
  return stat->State == 'T' || stat->State == 't' ? TThreadSuspension::Suspended
                                                  : TThreadSuspension::Running;
}

std::optional<int> ThreadPriorityLevel(ThreadId thread) {
  const std::optional<TTaskStat> stat = ReadTaskStat(thread);
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
