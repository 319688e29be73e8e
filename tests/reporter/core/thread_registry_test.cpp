#include "reporter/core/thread_registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "reporter/core/thread_title.h"

namespace {

using namespace Reporter::Core;

std::string Hex(Platform::ThreadId thread) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(thread));
  return text;
}

// Made-up ids far from real ones, removed again by every test.
constexpr Platform::ThreadId kWorker = 0x7ffff001;
constexpr Platform::ThreadId kCreator = 0x7ffff002;

class ThreadRegistry : public testing::Test {
 protected:
  ThreadRegistry() { EXPECT_TRUE(OpenThreadRegistry()); }
  ~ThreadRegistry() override {
    RemoveThread(kWorker);
    RemoveThread(kCreator);
  }
  static TThreadEntry Worker(std::string name, std::string className = "") {
    TThreadEntry entry;
    entry.ThreadId = kWorker;
    entry.Name = std::move(name);
    entry.ClassName = std::move(className);
    return entry;
  }
};

TEST_F(ThreadRegistry, EnteredThreadsAreFoundUntilRemoved) {
  TThreadEntry entry = Worker("Kopierer", "TCopyThread");
  entry.CreatorAddr = 0x401000;
  entry.CreatorThreadId = kCreator;
  ASSERT_TRUE(EnterThread(entry));
  TThreadEntry found;
  ASSERT_EQ(LookUpThread(kWorker, found), TLookup::Found);
  EXPECT_EQ(found.Name, "Kopierer");
  EXPECT_EQ(found.ClassName, "TCopyThread");
  EXPECT_EQ(found.CreatorAddr, 0x401000u);
  EXPECT_EQ(found.CreatorThreadId, kCreator);
  RemoveThread(kWorker);
  EXPECT_EQ(LookUpThread(kWorker, found), TLookup::NotFound);
}

TEST_F(ThreadRegistry, LongNamesAreCutAndRenamingKeepsTheRest) {
  EnterThread(Worker("", "TWorker"));
  NameThreadFromRequest(kWorker, std::string(100, 'n'));
  TThreadEntry found;
  ASSERT_EQ(LookUpThread(kWorker, found), TLookup::Found);
  EXPECT_EQ(found.Name, std::string(63, 'n'));
  EXPECT_EQ(found.ClassName, "TWorker");
}

TEST_F(ThreadRegistry, TitlesNameTheThreadOrItsClass) {
  EnterMainThread();
  const Platform::ThreadId self = Platform::CurrentThreadId();
  EXPECT_EQ(ThreadTitle(self, false), "main thread ($" + Hex(self) + ")");

  EnterThread(Worker("", "TCopyThread"));
  EXPECT_EQ(ThreadTitle(kWorker, false), "thread $7ffff001 (TCopyThread)");
  NameThread(kWorker, "-");
  EXPECT_EQ(ThreadTitle(kWorker, false), "");
  EXPECT_EQ(ThreadTitle(kWorker, true), "thread $7ffff001 (TCopyThread)");
  NameThread(kWorker, "Exvora - HandleExceptionThread");
  EXPECT_EQ(ThreadTitle(kWorker, false), "");
  EXPECT_EQ(ThreadTitle(kWorker, true), "Exvora - HandleExceptionThread ($7ffff001)");
  RemoveThread(kWorker);
  EXPECT_EQ(ThreadTitle(kWorker, false), "thread $7ffff001");
}

TEST_F(ThreadRegistry, AThreadThatEndedIsNamedNoMore) {
  Platform::ThreadId ended = 0;
  std::thread worker([&] {
    ended = Platform::CurrentThreadId();
    NameThreadFromRequest(static_cast<Platform::ThreadId>(-1), "Kurzlebig");
    EXPECT_EQ(ThreadTitle(ended, false), "Kurzlebig ($" + Hex(ended) + ")");
    RemoveThread(ended);  // what the thread wrapper does when the function returns
  });
  worker.join();
  EXPECT_EQ(ThreadTitle(ended, false), "thread $" + Hex(ended));
}

TEST_F(ThreadRegistry, AStuckRegistryGivesTheBareIdWithinTheWait) {
  EnterThread(Worker("Named"));
  std::promise<void> held, release;
  std::thread holder([&] {
    TThreadRegistryLock lock;
    held.set_value();
    release.get_future().wait();
  });
  held.get_future().wait();
  const auto start = std::chrono::steady_clock::now();
  const std::string title = ThreadTitle(kWorker, false, 20);
  const auto waited = std::chrono::steady_clock::now() - start;
  release.set_value();
  holder.join();
  EXPECT_EQ(title, "thread $7ffff001");
  EXPECT_LT(waited, std::chrono::milliseconds(1000));
  EXPECT_EQ(ThreadTitle(kWorker, false), "Named ($7ffff001)");
}

}  // namespace
