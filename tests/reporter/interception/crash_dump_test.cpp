#include <gtest/gtest.h>

#include <algorithm>

#include "platform/file_system.h"
#include "platform/path_style.h"
#include "reporter/interception/matrix_run.h"
#include "support/minidump_reading.h"

namespace {

using CrashMatrixTesting::TMatrixRun;

bool OnWindows() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows;
}

std::string Beside(const std::string& program, const std::string& name) {
  return program.substr(0, program.find_last_of("/\\") + 1) + name;
}

// The dump beside the report shows the fault as the report does: to our own reading of the
// format everywhere, and where LLDB runs, to a debugger that walks the failing thread with the
// program's symbols.
TEST(CrashDump, NullPointerWriteIsDumpedBesideTheReportForADebugger) {
  TMatrixRun run(/*readsDump=*/true);
  run.Run("null-write");
  ASSERT_TRUE(run.printed.found) << ::testing::PrintToString(run.lines);
  const std::string dumpFile = Beside(run.Program(), "bugreport.dmp");
  ASSERT_TRUE(Platform::FileExists(dumpFile));
  const TestSupport::TMinidump dump = TestSupport::ReadMinidump(TestSupport::ReadFile(dumpFile));
  ASSERT_TRUE(dump.valid);
  ASSERT_TRUE(dump.exceptionThread.has_value());
  EXPECT_NE(std::find(dump.threadIds.begin(), dump.threadIds.end(), *dump.exceptionThread),
            dump.threadIds.end());
  if (OnWindows()) {
    EXPECT_EQ(dump.exceptionCode, 0xC0000005u);  // access violation
    return;
  }
  EXPECT_EQ(dump.exceptionCode, 11u);  // SIGSEGV, at the null pointer it wrote to
  EXPECT_EQ(dump.exceptionAddress, 0u);
  const auto view = TestSupport::DebuggerView(dumpFile, run.Program());
  if (!view) GTEST_SKIP() << "no LLDB here: the dump was checked by its format alone";
  const std::string backtrace = TestSupport::StoppedThreadBacktrace(*view);
  EXPECT_NE(backtrace.find("stop reason = signal SIGSEGV"), std::string::npos) << *view;
  EXPECT_NE(backtrace.find("NullWrite"), std::string::npos) << *view;
  EXPECT_NE(backtrace.find("main"), std::string::npos) << *view;
  EXPECT_EQ(TestSupport::DebuggerThreadCount(*view), dump.threadIds.size()) << *view;
}

}  // namespace
