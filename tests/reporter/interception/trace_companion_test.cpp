#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/child_process.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "platform/text_encoding.h"
#include "reporter/interception/matrix_run.h"
#include "support/helper_process.h"

namespace {

using ReportReading::Lines;
using TestSupport::Quoted;

constexpr auto kPatience = std::chrono::seconds(60);

// The companion program asks the parked program for the report of its threads: both the
// main thread, waiting in the row, and the second thread are in it; the program is left
// running, no failure line printed.
TEST(TraceCompanion, ListsTheThreadsOfAWaitingProgram) {
  if (UPDATE_TEST_THREAD_SANITIZED) {
    GTEST_SKIP() << "the thread checker holds a signal back from a thread blocked in a read "
                    "until the read returns: the parked main thread never answers the capture";
  }
  CrashMatrixTesting::TMatrixRun matrix;
  TestSupport::HelperProcess parked(Quoted(matrix.Program()) + " park");
  ASSERT_FALSE(parked.ReadyText().empty());

  // The line comes a moment before its writer has returned into the row: asked too early, the
  // main thread still stands in the write. Asked again, it waits in the row.
  Platform::CapturedRun trace;
  Lines lines;
  const bool onWindows = Platform::NativePathStyle() == Platform::PathStyle::Windows;
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  do {
    trace = Platform::RunCaptured(
        Quoted(TestSupport::TestProgramPath("TraceProcess" + TestSupport::ExecutableSuffix())) +
            " " + parked.ReadyText(),
        120000);
    lines = ReportReading::TextLines(onWindows ? Platform::AnsiToUtf8(trace.output) : trace.output);
  } while (trace.started &&
           !ReportReading::AnyLineHolds(ReportReading::Section(lines, "main thread ($"),
                                        "WaitInParkRow") &&
           std::chrono::steady_clock::now() < deadline);
  parked.Release();

  ASSERT_TRUE(trace.started);
  EXPECT_EQ(trace.exitCode, 0) << trace.output;
  const Lines mainThread = ReportReading::Section(lines, "main thread ($");
  ASSERT_FALSE(mainThread.empty()) << trace.output;
  EXPECT_TRUE(ReportReading::AnyLineHolds(mainThread, "WaitInParkRow"))
      << ::testing::PrintToString(mainThread);
  EXPECT_FALSE(ReportReading::Section(lines, "thread $").empty()) << trace.output;
  EXPECT_FALSE(ReportReading::AnyLineHolds(lines, ReportReading::kFailureLine));
}

// The request would end a process that does not take it, so the companion asks none of
// those: it says so and fails, and the process runs on.
TEST(TraceCompanion, LeavesAProcessThatTakesNoTraceRequestsRunning) {
  if (UPDATE_TEST_QEMU) GTEST_SKIP() << "qemu-user catches every signal for its guest";
  TestSupport::HelperProcess deaf("TraceTarget", {"deaf"});
  ASSERT_FALSE(deaf.ReadyText().empty());

  const Platform::CapturedRun trace = Platform::RunCaptured(
      Quoted(TestSupport::TestProgramPath("TraceProcess" + TestSupport::ExecutableSuffix())) + " " +
          deaf.ReadyText(),
      120000);
  ASSERT_TRUE(trace.started);
  EXPECT_NE(trace.exitCode, 0);
  EXPECT_NE(trace.output.find("process " + deaf.ReadyText() + " takes no trace requests"),
            std::string::npos)
      << trace.output;
  deaf.Release();
  EXPECT_EQ(deaf.ExitCode(), 0) << "ended by the request";
}

}  // namespace
