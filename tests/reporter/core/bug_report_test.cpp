#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "platform/process.h"
#include "platform/thread_hold.h"
#include "platform/thread_priority.h"
#include "platform/thread_state.h"
#include "platform/threads.h"
#include "reporter/core/reported_exception.h"
#include "reporter/core/start_up.h"
#include "reporter/report/system_lists/system_list_plugins.h"
#include "reporter/sections/report_lines.h"
#include "updater/work.h"

// The functions the report must show, raised a few calls deep and caught far outside.
__attribute__((noinline)) void ThrowInsideTheJob(int depth) {
  if (depth > 0) throw Update::Work::EUpdateWork("Die Sperrdatei kann nicht erstellt werden!");
  asm volatile("");
}
__attribute__((noinline)) void LockTheInstallation(int depth) {
  ThrowInsideTheJob(depth);
  asm volatile("");
}
__attribute__((noinline)) void RunTheJob(int depth) {
  LockTheInstallation(depth);
  asm volatile("");
}

namespace {

using namespace Reporter::Core;

using ReportTest::Lines;

class RealReport : public testing::Test {
 protected:
  RealReport() {
    StartUpReportedExceptions();
    try {
      RunTheJob(3);
    } catch (...) {
      request_.ExceptObject = std::current_exception();
    }
    request_.Source = esExceptProc;
  }
  TExceptionRequest request_;
  Reporter::Report::TSystemListPlugins plugins_;
};

struct TSeen {
  std::atomic<int> complete{0};
  std::atomic<int> calls{0};
  std::atomic<bool> last{false};
};
TSeen gSeen;

void Count(bool complete, const std::string&, const std::shared_ptr<IReportedException>&) {
  ++gSeen.calls;
  if (complete) ++gSeen.complete;
  gSeen.last = complete;
}

TEST_F(RealReport, SectionsFollowTheFailingThreadThenThePluginsInTheirSettingsOrder) {
  const auto reported = CreateReportedException(request_);
  ASSERT_NE(reported, nullptr);
  ASSERT_TRUE(reported->GetCreateBugReport());
  reported->GetBugReport(true, -1);
  EXPECT_TRUE(reported->GetComplete());

  const auto sections = reported->GetBugReportSections();
  std::vector<std::string> titles;
  for (int i = 0; i < sections->GetItemCount(); ++i) titles.push_back(sections->GetItem(i));
  ASSERT_FALSE(titles.empty());
  EXPECT_EQ(titles[0].rfind("main thread ($", 0), 0u) << titles[0];
  const auto at = [&](const std::string& title) {
    return std::find(titles.begin(), titles.end(), title) - titles.begin();
  };
  const auto count = static_cast<std::ptrdiff_t>(titles.size());
  ASSERT_LT(at("modules"), count);
  ASSERT_LT(at("processes"), count);
  ASSERT_LT(at("hardware"), count);
  EXPECT_LT(at("modules"), at("processes"));
  EXPECT_LT(at("processes"), at("hardware"));
  // A raised program exception carries the processor state of its raise.
  EXPECT_LT(at("hardware"), at("cpu registers"));
  ASSERT_LT(at("cpu registers"), count);
  EXPECT_EQ(at("stack dump"), at("cpu registers") + 1);

  const auto stack = reported->GetCallstack(0);
  // Also where the compiler moved the raising part of a function into a piece of its own.
  const auto named = [&](const std::string& function) {
    return std::find_if(stack.begin(), stack.end(), [&](const auto& item) {
             return item.FunctionName == function;
           }) != stack.end();
  };
  std::ostringstream described;
  for (const auto& item : stack) described << item.FunctionName << "\n";
  EXPECT_TRUE(named("ThrowInsideTheJob")) << described.str();
  EXPECT_TRUE(named("LockTheInstallation")) << described.str();
  EXPECT_EQ(reported->GetThreadId(0), Platform::CurrentThreadId());
  EXPECT_EQ(reported->GetThreadId(10000), 0u);
  EXPECT_EQ(reported->GetCallstackCrc(3), 0u);
  EXPECT_EQ(reported->GetBugReportHeader()->GetContent("callstack crc").size(), 31u);
}

// A thread that something holds stopped, and one that runs below the normal priority, say so
// after their titles.
TEST_F(RealReport, ThreadTitlesTellAStoppedThreadAndAnotherPriority) {
  std::atomic<bool> done{false};
  std::atomic<Platform::ThreadId> heldId{0}, lowId{0};
  const auto wait = [&](std::atomic<Platform::ThreadId>& id) {
    id = Platform::CurrentThreadId();
    while (!done.load()) Platform::SleepMilliseconds(5);
  };
  std::thread held(wait, std::ref(heldId));
  std::thread low(wait, std::ref(lowId));
  while (heldId.load() == 0 || lowId.load() == 0) Platform::SleepMilliseconds(1);
  const bool lowered =
      Platform::SetThreadPriorityLevel(lowId, Platform::kThreadPriorityBelowNormal);
  std::optional<Platform::ThreadHold> hold;
  hold.emplace(heldId);
  const auto reported = CreateReportedException(request_);
  const auto sections = reported->GetBugReportSections();
  const bool holding = hold->IsHolding();
  hold.reset();
  done = true;
  held.join();
  low.join();

  const auto titleOf = [&](Platform::ThreadId thread) {
    std::ostringstream prefix;
    prefix << "thread $" << std::hex << thread;
    for (int i = 0; i < sections->GetItemCount(); ++i) {
      const std::string title = sections->GetItem(i);
      if (title.rfind(prefix.str() + ":", 0) == 0 || title.rfind(prefix.str() + " ", 0) == 0) {
        return title;
      }
    }
    return std::string("(none)");
  };
  if (holding) {
    EXPECT_NE(titleOf(heldId).find(": <suspended>"), std::string::npos) << titleOf(heldId);
  }
  if (lowered) {
    EXPECT_NE(titleOf(lowId).find(" <priority:-1>"), std::string::npos) << titleOf(lowId);
  }
  if (!holding || !lowered) GTEST_SKIP() << "this system lets the test stop or lower no thread";
}

TEST_F(RealReport, CallbacksSeeTheCompleteReportExactlyOnceAtTheEnd) {
  gSeen.complete = 0;
  gSeen.calls = 0;
  const auto reported = CreateReportedException(request_);
  ASSERT_NE(reported, nullptr);
  reported->RegisterBugReportCallback(&Count, true);
  EXPECT_GE(gSeen.calls, 1);
  reported->GetBugReport(true, -1);
  EXPECT_NE(reported->GetCompleteThreadId(), std::thread::id());  // completed on its own thread
  EXPECT_EQ(gSeen.complete, 1);
  EXPECT_TRUE(gSeen.last);
}

// Whether a thread that was not listed before is still listed after a grace period: an emulator
// (qemu-i386) wakes a joiner before its thread has ended. Threads of earlier tests may end
// meanwhile, so the test looks for new threads, not at the count.
bool NewThreadsLeft(const std::vector<Platform::ThreadId>& before) {
  const auto isNew = [&](Platform::ThreadId thread) {
    return std::find(before.begin(), before.end(), thread) == before.end();
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    const std::vector<Platform::ThreadId> now = Platform::ListThreads();
    if (std::none_of(now.begin(), now.end(), isNew)) return false;
    if (std::chrono::steady_clock::now() > deadline) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::vector<Platform::ThreadId> ThreadsBefore() {
  // A sanitizer's runtime starts a thread of its own with the program's first: not counted.
  std::thread([] {}).join();
  return Platform::ListThreads();
}

TEST_F(RealReport, ReleasingTheObjectStopsItsCompletion) {
  const std::vector<Platform::ThreadId> threadsBefore = ThreadsBefore();
  gSeen.complete = 0;
  auto reported = CreateReportedException(request_);
  // Registering starts the completion thread; the release aborts it and waits for it.
  reported->RegisterBugReportCallback(&Count, false);
  reported.reset();
  EXPECT_FALSE(NewThreadsLeft(threadsBefore)) << "the completion thread is gone";
  EXPECT_EQ(gSeen.complete, 0) << "the completion was stopped, not run to its end";
}

// A callback that holds the completion's first announcement on its thread until the test has
// let go of its reference: the announcement then holds the last one.
struct THeldAnnouncement {
  std::thread::id testThread;
  std::atomic<bool> taken{false};
  std::promise<void> announced;
  std::promise<void> released;
};
std::atomic<THeldAnnouncement*> gHeld{nullptr};

void HoldTheAnnouncement(bool, const std::string&, const std::shared_ptr<IReportedException>&) {
  THeldAnnouncement* held = gHeld.load();
  if (held == nullptr || std::this_thread::get_id() == held->testThread ||
      held->taken.exchange(true))
    return;
  held->announced.set_value();
  held->released.get_future().wait_for(std::chrono::seconds(10));
}

TEST_F(RealReport, ReleaseDuringTheCompletionsAnnouncementLeavesTheObjectToItsEnd) {
  const std::vector<Platform::ThreadId> threadsBefore = ThreadsBefore();
  THeldAnnouncement held;
  held.testThread = std::this_thread::get_id();
  gHeld = &held;
  auto reported = CreateReportedException(request_);
  reported->RegisterBugReportCallback(&HoldTheAnnouncement, false);
  const bool announced =
      held.announced.get_future().wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  reported.reset();
  held.released.set_value();
  // The completion's steps after the announcement still use the object: it must outlive them
  // (a sanitizer or the heap says so when it does not) and go with the thread.
  EXPECT_TRUE(announced) << "the completion announced on its own thread";
  EXPECT_FALSE(NewThreadsLeft(threadsBefore)) << "the completion thread is gone";
  gHeld = nullptr;
  // A thread's end is nothing a race detector sees: the settings' lock, which the object's
  // deletion took last on that thread, is, and a new object takes it.
  EXPECT_NE(CreateReportedException(request_), nullptr);
}

// The whole text, line by line, as the header, the sections and their producers make it.
TEST_F(RealReport, CompleteReportReadsLikeAReportLineByLine) {
  const auto reported = CreateReportedException(request_);
  const std::string report = reported->GetBugReport(true, -1);
  const std::vector<std::string> lines = Lines(report);
  ASSERT_GT(lines.size(), 10u) << report;

  // Header: every key padded to one column, "callstack crc" to "exception message" in order.
  std::size_t line = 0;
  std::size_t colon = lines[0].find(": ");
  ASSERT_NE(colon, std::string::npos);
  std::vector<std::string> keys;
  for (; line < lines.size() && !lines[line].empty(); ++line) {
    EXPECT_EQ(lines[line].find(": "), colon) << lines[line];
    std::string key = lines[line].substr(0, colon);
    key.erase(key.find_last_not_of(' ') + 1);
    keys.push_back(key);
  }
  EXPECT_EQ(keys.front(), "date/time");
  const auto key = [&](const std::string& name) {
    return std::find(keys.begin(), keys.end(), name) - keys.begin();
  };
  EXPECT_LT(key("callstack crc"), key("exception number"));
  EXPECT_LT(key("exception number"), key("exception class"));
  EXPECT_LT(key("exception class"), key("exception message"));
  EXPECT_EQ(key("exception message"), static_cast<std::ptrdiff_t>(keys.size()) - 1);
  EXPECT_NE(report.find("exception class", 0), std::string::npos);
  EXPECT_NE(report.find(": EUpdateWork\r\n"), std::string::npos);
  EXPECT_NE(report.find(": Die Sperrdatei kann nicht erstellt werden."), std::string::npos);

  // Sections: an empty line, the title with its colon, then the content.
  ASSERT_LT(line + 2, lines.size());
  EXPECT_EQ(lines[line], "");
  EXPECT_EQ(lines[line + 1].rfind("main thread ($", 0), 0u) << lines[line + 1];
  // The colon ends the title; marks of a stopped thread or an unusual priority may follow it
  // (a test run under nice has the main thread at a lower one).
  EXPECT_TRUE(
      std::regex_match(lines[line + 1], std::regex(R"(main thread \(\$[0-9a-f]+\):( <[^>]+>)*)")))
      << lines[line + 1];
  EXPECT_NE(report.find("ThrowInsideTheJob"), std::string::npos) << report;
  for (const char* title :
       {"\r\n\r\nmodules:\r\n", "\r\n\r\nprocesses:\r\n", "\r\n\r\nhardware:\r\n"}) {
    EXPECT_NE(report.find(title), std::string::npos) << title;
  }
  EXPECT_EQ(report.find("will be calculated soon"), std::string::npos);
  EXPECT_NE(report.substr(report.size() - 2), "\r\n");
}

}  // namespace
