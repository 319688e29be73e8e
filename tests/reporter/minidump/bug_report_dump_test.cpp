#include "reporter/report/minidump/bug_report_dump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "../file/report_file_fixture.h"
#include "support/minidump_reading.h"

namespace Reporter::Report {
namespace {

TEST(DumpFileName, TakesTheReportsNameWithTheDumpsExtension) {
  using Platform::PathStyle;
  EXPECT_EQ(DumpFileName("bugreport.txt", PathStyle::Windows), "bugreport.dmp");
  EXPECT_EQ(DumpFileName("crash", PathStyle::Windows), "crash.dmp");
  EXPECT_EQ(DumpFileName("..\\logs.d\\report", PathStyle::Windows), "..\\logs.d\\report.dmp");
  EXPECT_EQ(DumpFileName("logs.d/report", PathStyle::Posix), "logs.d/report.dmp");
  EXPECT_EQ(DumpFileName(".hidden", PathStyle::Posix), ".hidden.dmp");
}

using BugReportDump = ReportFileFixture;

// A thread of the process that waits while the dump is taken: it must be in the thread list.
TEST_F(BugReportDump, DumpsEveryThreadWithTheFailingOneBesideTheReport) {
  std::atomic<bool> release{false};
  std::atomic<Platform::ThreadId> waiterId{0};
  std::thread waiter([&] {
    waiterId = Platform::CurrentThreadId();
    while (!release) std::this_thread::yield();
  });
  while (waiterId == 0) std::this_thread::yield();

  Minidump::TFailingThread failing;
  failing.Id = Platform::CurrentThreadId();
  const std::string path = SaveBugReportDump(settings_, failing, context_);
  release = true;
  waiter.join();

  EXPECT_EQ(path, InBin("bugreport.dmp"));
  const TestSupport::TMinidump dump = TestSupport::ReadMinidump(TestSupport::ReadFile(path));
  ASSERT_TRUE(dump.valid);
  EXPECT_EQ(dump.exceptionThread, failing.Id);
  for (const Platform::ThreadId id : {failing.Id, waiterId.load()}) {
    EXPECT_NE(std::find(dump.threadIds.begin(), dump.threadIds.end(), id), dump.threadIds.end())
        << id;
  }
}

// Folders at both places: no dump, and nothing else happens.
TEST_F(BugReportDump, DumpThatCannotBeWrittenAnywhereGivesNoPath) {
  TestSupport::MakeDirectory(InBin("bugreport.dmp"));
  TestSupport::MakeDirectory(folder_.Join("appdata"));
  TestSupport::MakeDirectory(folder_.Join("appdata") + Separator() + "Update");
  TestSupport::MakeDirectory(Fallback("bugreport.dmp"));
  Minidump::TFailingThread failing;
  failing.Id = Platform::CurrentThreadId();
  EXPECT_EQ(SaveBugReportDump(settings_, failing, context_), "");
}

}  // namespace
}  // namespace Reporter::Report
