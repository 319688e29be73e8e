#include "reporter/report/minidump/bug_report_dump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "platform/file_system.h"
#include "support/fake_settings.h"
#include "support/minidump_reading.h"
#include "support/scoped_temp_dir.h"

namespace Reporter::Report {
namespace {

using TestSupport::TFakeSettings;

TEST(DumpFileName, TakesTheReportsNameWithTheDumpsExtension) {
  using Platform::PathStyle;
  EXPECT_EQ(DumpFileName("bugreport.txt", PathStyle::Windows), "bugreport.dmp");
  EXPECT_EQ(DumpFileName("crash", PathStyle::Windows), "crash.dmp");
  EXPECT_EQ(DumpFileName("..\\logs.d\\report", PathStyle::Windows), "..\\logs.d\\report.dmp");
  EXPECT_EQ(DumpFileName("logs.d/report", PathStyle::Posix), "logs.d/report.dmp");
  EXPECT_EQ(DumpFileName(".hidden", PathStyle::Posix), ".hidden.dmp");
}

class BugReportDump : public testing::Test {
 protected:
  BugReportDump() {
    TestSupport::MakeDirectory(folder_.Join("bin"));
    context_.ExecutablePath = folder_.Join("bin") + Separator() + "Update.exe";
    context_.Expand = [this](std::string_view text) {
      std::string result(text);
      const std::string pattern = "%userappdata%";
      if (const auto at = result.find(pattern); at != std::string::npos) {
        result.replace(at, pattern.size(), folder_.Join("appdata"));
      }
      return result;
    };
    settings_.Texts["BugRepFile"] = "bugreport.txt";
  }

  static std::string Separator() {
    return Platform::NativePathStyle() == Platform::PathStyle::Windows ? "\\" : "/";
  }
  std::string Beside(const std::string& name) const {
    return folder_.Join("bin") + Separator() + name;
  }

  TestSupport::ScopedTempDir folder_;
  TReportFileContext context_;
  TFakeSettings settings_;
};

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

  EXPECT_EQ(path, Beside("bugreport.dmp"));
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
  TestSupport::MakeDirectory(Beside("bugreport.dmp"));
  TestSupport::MakeDirectory(folder_.Join("appdata"));
  TestSupport::MakeDirectory(folder_.Join("appdata") + Separator() + "Update");
  TestSupport::MakeDirectory(folder_.Join("appdata") + Separator() + "Update" + Separator() +
                             "bugreport.dmp");
  Minidump::TFailingThread failing;
  failing.Id = Platform::CurrentThreadId();
  EXPECT_EQ(SaveBugReportDump(settings_, failing, context_), "");
}

}  // namespace
}  // namespace Reporter::Report
