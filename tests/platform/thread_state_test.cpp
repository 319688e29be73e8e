#include "platform/thread_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/thread_hold.h"
#include "platform/thread_priority.h"

namespace {

using Platform::ThreadId;
using Platform::TThreadSuspension;

// A second thread that waits, under the given name, until destroyed. It naps instead of
// waiting on a synchronisation object, whose wake-ups Wine has been seen to miss.
class WaitingThread {
 public:
  explicit WaitingThread(const std::string& name = {})
      : thread_([this, name] {
          if (!name.empty()) (void)Platform::SetCurrentThreadName(name);
          id_.store(Platform::CurrentThreadId());
          while (!stop_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }) {
    while (id_.load() == 0) std::this_thread::yield();
  }
  ~WaitingThread() {
    stop_.store(true);
    thread_.join();
  }
  ThreadId Id() const { return id_.load(); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<ThreadId> id_{0};
  std::thread thread_;
};

TEST(ThreadState, HeldThreadIsSuspendedUntilLetGo) {
  // A name that reads like the state field when the name is taken to end at its first ")".
  WaitingThread waiting("x) t (");
  EXPECT_EQ(Platform::ThreadSuspension(waiting.Id()), TThreadSuspension::Running);
  {
    Platform::ThreadHold hold(waiting.Id());
    if (!hold.IsHolding()) GTEST_SKIP() << "this system lets no thread be held stopped";
    EXPECT_EQ(Platform::ThreadSuspension(waiting.Id()), TThreadSuspension::Suspended);
    // Asking again does not change the answer, nor the hold.
    EXPECT_EQ(Platform::ThreadSuspension(waiting.Id()), TThreadSuspension::Suspended);
  }
  EXPECT_EQ(Platform::ThreadSuspension(waiting.Id()), TThreadSuspension::Running);
}

TEST(ThreadState, CallingThreadRunsWithAKnownPriority) {
  EXPECT_EQ(Platform::ThreadSuspension(Platform::CurrentThreadId()), TThreadSuspension::Running);
  EXPECT_TRUE(Platform::ThreadPriorityLevel(Platform::CurrentThreadId()).has_value());
}

TEST(ThreadState, EndedThreadIsUnknown) {
  std::atomic<ThreadId> id{0};
  std::thread([&] { id.store(Platform::CurrentThreadId()); }).join();
  // The join may return while the system still winds the thread up (qemu-user lets it go
  // before its host thread has ended).
  const auto listed = [&] {
    const std::vector<ThreadId> threads = Platform::ListThreads();
    return std::find(threads.begin(), threads.end(), id.load()) != threads.end();
  };
  for (int waited = 0; waited < 5000 && listed(); ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(Platform::ThreadSuspension(id.load()), TThreadSuspension::Unknown);
  EXPECT_EQ(Platform::ThreadPriorityLevel(id.load()), std::nullopt);
  EXPECT_FALSE(Platform::ThreadHold(id.load()).IsHolding());
}

class ThreadPriorityLevel : public testing::TestWithParam<int> {};

TEST_P(ThreadPriorityLevel, ChangedPriorityIsReadBack) {
  const int level = GetParam();
  WaitingThread waiting;
  const bool set = Platform::SetThreadPriorityLevel(waiting.Id(), level);
  if (!set && level > Platform::kThreadPriorityNormal) {
    GTEST_SKIP() << "this user may not raise a thread's priority";
  }
  ASSERT_TRUE(set);
  EXPECT_EQ(Platform::ThreadPriorityLevel(waiting.Id()), level);
  EXPECT_EQ(Platform::ThreadSuspension(waiting.Id()), TThreadSuspension::Running);
}

INSTANTIATE_TEST_SUITE_P(
    EveryLevel, ThreadPriorityLevel,
    testing::Values(Platform::kThreadPriorityIdle, Platform::kThreadPriorityLowest,
                    Platform::kThreadPriorityBelowNormal, Platform::kThreadPriorityNormal,
                    Platform::kThreadPriorityAboveNormal, Platform::kThreadPriorityHighest,
                    Platform::kThreadPriorityTimeCritical),
    [](const testing::TestParamInfo<int>& level) {
      return (level.param < 0 ? "Minus" : "") +
             std::to_string(level.param < 0 ? -level.param : level.param);
    });

}  // namespace
