#include "reporter/core/reporter_threads.h"

#include <array>
#include <atomic>

#include "reporter/core/thread_registry.h"

namespace Reporter::Core {
namespace {

// A fixed table, so that a fault handler can look a thread up without a lock. The reporter
// has a handful of threads at a time; the HTTP library a few more during an upload.
constexpr std::size_t kReporterThreadCapacity = 64;
std::array<std::atomic<Platform::ThreadId>, kReporterThreadCapacity> gThreads{};

}  // namespace

bool MarkReporterThread(Platform::ThreadId thread) {
  if (thread == 0 || IsReporterThread(thread)) return thread != 0;
  for (auto& slot : gThreads) {
    Platform::ThreadId empty = 0;
    if (slot.compare_exchange_strong(empty, thread)) return true;
  }
  return false;
}

bool IsReporterThread(Platform::ThreadId thread) {
  if (thread == 0) return false;
  for (const auto& slot : gThreads) {
    if (slot.load() == thread) return true;
  }
  return false;
}

void ForgetReporterThread(Platform::ThreadId thread) {
  for (auto& slot : gThreads) {
    Platform::ThreadId expected = thread;
    slot.compare_exchange_strong(expected, 0);
  }
}

TReporterThread::TReporterThread(std::string_view name) : thread_(Platform::CurrentThreadId()) {
  MarkReporterThread(thread_);
  NameThread(thread_, name);
}

TReporterThread::~TReporterThread() {
  RemoveThread(thread_);
}

}  // namespace Reporter::Core
