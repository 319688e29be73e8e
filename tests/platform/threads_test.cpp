#include "platform/threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "platform/memory_map.h"
#include "platform/process.h"

namespace {

using Platform::CaptureThreadContext;
using Platform::ThreadId;
using Platform::TThreadContext;

std::uintptr_t AddressOf(const volatile void* pointer) {
  return reinterpret_cast<std::uintptr_t>(pointer);
}

// The parked thread spins here, so that its instruction pointer is known to lie in this
// function's few bytes.
[[gnu::noinline]] void SpinUntilStopped(const std::atomic<bool>& stop) {
  while (!stop.load(std::memory_order_relaxed)) {
  }
}
constexpr std::uintptr_t kSpinFunctionSize = 256;

bool InSpinFunction(std::uint64_t ip) {
  const auto begin = reinterpret_cast<std::uintptr_t>(&SpinUntilStopped);
  return ip >= begin && ip < begin + kSpinFunctionSize;
}

bool InThisProgram(std::uint64_t ip) {
  const Platform::TMemoryRegion region = Platform::QueryMemoryRegion(ip);
  std::error_code error;
  const auto path = [](const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
  };
  return region.Executable && !region.ImagePath.empty() &&
         std::filesystem::equivalent(path(region.ImagePath), path(Platform::ExecutablePath()),
                                     error);
}

// A second thread that spins in SpinUntilStopped until destroyed.
class ParkedThread {
 public:
  ParkedThread()
      : thread_([this] {
          // A local of the caller: the spinning function's frame lies below it.
          volatile int marker = 0;
          id_.store(Platform::CurrentThreadId());
          local_.store(AddressOf(&marker));
          SpinUntilStopped(stop_);
        }) {
    while (local_.load() == 0) std::this_thread::yield();
  }
  ~ParkedThread() {
    stop_.store(true);
    thread_.join();
  }
  ThreadId Id() const { return id_.load(); }
  std::uintptr_t Local() const { return local_.load(); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<ThreadId> id_{0};
  std::atomic<std::uintptr_t> local_{0};
  std::thread thread_;
};

// The context's stack pointer lies below a local of the thread, in one stack range with it.
void ExpectStackHolds(const TThreadContext& context, std::uintptr_t local) {
  const auto range = Platform::StackRangeAt(static_cast<std::uintptr_t>(context.Sp));
  ASSERT_TRUE(range.has_value());
  EXPECT_EQ(range->Bottom, context.Sp);
  EXPECT_LE(context.Sp, local);
  EXPECT_LT(local, range->Top);
}

TEST(Threads, MainThreadIsListedFirstAndRunsTheTests) {
  EXPECT_EQ(Platform::MainThreadId(), Platform::CurrentThreadId());
  const std::vector<ThreadId> threads = Platform::ListThreads();
  ASSERT_FALSE(threads.empty());
  EXPECT_EQ(threads.front(), Platform::MainThreadId());
}

TEST(Threads, ListHoldsEveryRunningThreadOnce) {
  ParkedThread first, second;
  EXPECT_NE(first.Id(), Platform::CurrentThreadId());
  const std::vector<ThreadId> threads = Platform::ListThreads();
  for (const ThreadId id : {first.Id(), second.Id(), Platform::CurrentThreadId()}) {
    EXPECT_EQ(std::count(threads.begin(), threads.end(), id), 1) << id;
  }
  EXPECT_EQ(std::set<ThreadId>(threads.begin(), threads.end()).size(), threads.size());
}

TEST(ThreadContext, ParkedThreadIsCaughtInsideItsFunction) {
  ParkedThread parked;
  const auto context = CaptureThreadContext(parked.Id());
  ASSERT_TRUE(context.has_value());
  EXPECT_TRUE(InSpinFunction(context->Ip)) << std::hex << context->Ip;
  EXPECT_TRUE(InThisProgram(context->Ip));
  ExpectStackHolds(*context, parked.Local());
}

TEST(ThreadContext, ManyCapturesInARowStayCorrect) {
  ParkedThread parked;
  for (int i = 0; i < 200; ++i) {
    const auto context = CaptureThreadContext(parked.Id());
    ASSERT_TRUE(context.has_value()) << i;
    ASSERT_TRUE(InSpinFunction(context->Ip)) << i;
    ASSERT_LE(context->Sp, parked.Local()) << i;
    ASSERT_GT(context->Sp + 4096, parked.Local()) << i;
  }
}

TEST(ThreadContext, AnswersThatComeTooLateAreNotTakenForLaterOnes) {
  ParkedThread first, second;
  for (int i = 0; i < 50; ++i) {
    // No time to wait: the answer, if it comes at all, arrives after the request gave up.
    if (const auto hurried = CaptureThreadContext(first.Id(), 0)) {
      ASSERT_LE(hurried->Sp, first.Local()) << i;
      ASSERT_GT(hurried->Sp + 4096, first.Local()) << i;
    }
    const auto context = CaptureThreadContext(second.Id());
    ASSERT_TRUE(context.has_value()) << i;
    ASSERT_LE(context->Sp, second.Local()) << i;
    ASSERT_GT(context->Sp + 4096, second.Local()) << i;
  }
}

TEST(ThreadContext, BlockedThreadIsCaughtToo) {
  std::mutex mutex;
  std::condition_variable changed;
  bool stop = false;
  std::atomic<std::uintptr_t> local{0};
  std::atomic<ThreadId> id{0};
  std::thread blocked([&] {
    volatile int marker = 0;
    id.store(Platform::CurrentThreadId());
    local.store(AddressOf(&marker));
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return stop; });
  });
  while (local.load() == 0) std::this_thread::yield();

  const auto context = CaptureThreadContext(id.load());
  {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
  }
  changed.notify_all();
  blocked.join();
  ASSERT_TRUE(context.has_value());
  EXPECT_TRUE(Platform::QueryMemoryRegion(context->Ip).Executable);
  ExpectStackHolds(*context, local.load());
}

TEST(ThreadContext, EndedThreadGivesNoneWithoutWaiting) {
  std::atomic<ThreadId> id{0};
  std::thread([&] { id.store(Platform::CurrentThreadId()); }).join();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(CaptureThreadContext(id.load(), 20000).has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(CaptureThreadContext(0, 20000).has_value());
}

TEST(ThreadContext, CallingThreadGetsItsOwnRegisters) {
  volatile int local = 0;
  const auto context = CaptureThreadContext(Platform::CurrentThreadId());
  ASSERT_TRUE(context.has_value());
  EXPECT_TRUE(InThisProgram(context->Ip)) << std::hex << context->Ip;
  ExpectStackHolds(*context, AddressOf(&local));
}

TEST(ThreadStack, CurrentRangeHoldsTheCallersLocalsOnEveryThread) {
  const auto check = [] {
    volatile int local = 0;
    const Platform::TStackRange range = Platform::CurrentThreadStackRange();
    EXPECT_LE(range.Bottom, AddressOf(&local));
    EXPECT_LT(AddressOf(&local), range.Top);
    const auto around = Platform::StackRangeAt(range.Bottom);
    ASSERT_TRUE(around.has_value());
    EXPECT_GE(around->Top, range.Top);
  };
  check();
  std::thread(check).join();
}

TEST(ThreadStack, NoRangeOutsideReadableMemory) {
  EXPECT_FALSE(Platform::StackRangeAt(16).has_value());
}

TEST(ThreadName, NamedThreadIsFoundByItsName) {
  for (const std::string name : {"probe-7", "a rather long name for a thread"}) {
    std::atomic<ThreadId> id{0};
    std::atomic<bool> named{false}, stop{false};
    std::thread thread([&] {
      named.store(Platform::SetCurrentThreadName(name));
      id.store(Platform::CurrentThreadId());
      while (!stop.load()) std::this_thread::yield();
    });
    while (id.load() == 0) std::this_thread::yield();
    const std::string found = Platform::ThreadName(id.load());
    stop.store(true);
    thread.join();
    if (!named.load()) GTEST_SKIP() << "this system keeps no thread names";
    // Linux keeps the first 15 bytes only.
    EXPECT_FALSE(found.empty());
    EXPECT_EQ(name.substr(0, found.size()), found);
    if (name.size() <= 15) {
      EXPECT_EQ(found, name);
    }
  }
}

}  // namespace
