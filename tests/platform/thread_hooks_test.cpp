#include "platform/thread_hooks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/fault_hooks.h"
#include "support/deliberate_faults.h"

namespace {

struct TEvent {
  bool Started = false;
  Platform::TThreadStart Start;
  Platform::ThreadId Thread = 0;
};

std::mutex gMutex;
std::vector<TEvent> gEvents;

void RecordStart(const Platform::TThreadStart& start) {
  const std::lock_guard lock(gMutex);
  gEvents.push_back({true, start, start.Thread});
}

void RecordEnd(Platform::ThreadId thread) {
  const std::lock_guard lock(gMutex);
  gEvents.push_back({false, {}, thread});
}

std::vector<TEvent> TakeEvents() {
  const std::lock_guard lock(gMutex);
  return std::exchange(gEvents, {});
}

}  // namespace

TEST(ThreadHooks, AThreadIsSeenStartingWithItsCreatorAndEnding) {
  ASSERT_TRUE(Platform::InstallThreadHooks(RecordStart, RecordEnd));
  TakeEvents();
  Platform::ThreadId worker = 0;
  std::thread([&] { worker = Platform::CurrentThreadId(); }).join();
  const std::vector<TEvent> events = TakeEvents();
  Platform::RemoveThreadHooks();

  ASSERT_EQ(events.size(), 2u);
  EXPECT_TRUE(events[0].Started);
  EXPECT_EQ(events[0].Start.Thread, worker);
  EXPECT_EQ(events[0].Start.Creator, Platform::CurrentThreadId());
  EXPECT_NE(events[0].Start.CreatorAddress, 0u);
  EXPECT_FALSE(events[1].Started);
  EXPECT_EQ(events[1].Thread, worker);
}

TEST(ThreadHooks, ThreadsStartedAfterRemovalAreNotSeen) {
  ASSERT_TRUE(Platform::InstallThreadHooks(RecordStart, RecordEnd));
  Platform::RemoveThreadHooks();
  TakeEvents();
  std::thread([] {}).join();
  for (const TEvent& event : TakeEvents()) EXPECT_FALSE(event.Started);
}

namespace {

void ExitWithKind(const Platform::TFaultInfo& fault) {
  std::_Exit(fault.Kind == Platform::TFaultKind::StackOverflow ? 9 : 1);
}

void OverflowInAStartedThread() {
  if (!Platform::InstallFaultHook(ExitWithKind) || !Platform::InstallThreadHooks(nullptr, nullptr))
    std::_Exit(2);
  std::thread(TestSupport::OverflowTheStack).join();
  std::_Exit(3);
}

}  // namespace

// The wrapper prepares each thread, so a thread's own stack overflow still reaches the hook.
TEST(ThreadHooks, AStartedThreadReportsItsOwnStackOverflow) {
  EXPECT_EXIT(OverflowInAStartedThread(), testing::ExitedWithCode(9), "");
}
