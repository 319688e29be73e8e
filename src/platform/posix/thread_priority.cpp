#include "platform/thread_priority.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>

#include "platform/posix/system_files.h"
#include "platform/thread_state.h"

namespace Platform {
namespace {

bool SetNice(ThreadId thread, int nice) {
  const sched_param normal{};
  return sched_setscheduler(static_cast<pid_t>(thread), SCHED_OTHER, &normal) == 0 &&
         setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice) == 0;
}

}  // namespace

// Linux sets a nice value per thread; lowering it needs a right ordinary users lack.
bool RaiseCurrentThreadPriority() {
  const auto thread = static_cast<id_t>(syscall(SYS_gettid));
  return setpriority(PRIO_PROCESS, thread, -1) == 0;
}

bool SetThreadPriorityLevel(ThreadId thread, int level) {
  // sched_setscheduler and setpriority take any thread id of the system.
  if (thread == 0 || !Posix::PathExists("/proc/self/task/" + std::to_string(thread))) return false;
  switch (level) {
    case kThreadPriorityTimeCritical: {
      const sched_param lowestRealTime{sched_get_priority_min(SCHED_FIFO)};
      return sched_setscheduler(static_cast<pid_t>(thread), SCHED_FIFO, &lowestRealTime) == 0;
    }
    case kThreadPriorityHighest:
      return SetNice(thread, -15);
    case kThreadPriorityAboveNormal:
      return SetNice(thread, -5);
    case kThreadPriorityNormal:
      return SetNice(thread, 0);
    case kThreadPriorityBelowNormal:
      return SetNice(thread, 5);
    case kThreadPriorityLowest:
      return SetNice(thread, 15);
    case kThreadPriorityIdle: {
      const sched_param idle{};
      return sched_setscheduler(static_cast<pid_t>(thread), SCHED_IDLE, &idle) == 0;
    }
    default:
      return false;
  }
}

}  // namespace Platform
