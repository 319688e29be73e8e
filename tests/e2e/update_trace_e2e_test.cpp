#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>

#include "e2e/report_layout.h"
#include "e2e/update_fixture.h"
#include "platform/child_process.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "platform/text_encoding.h"
#include "reporter/interception/report_reading.h"
#include "support/helper_process.h"

namespace {

using ReportReading::Lines;
using TestSupport::Quoted;

constexpr std::uint32_t kTraceTimeout = 120000;
// Long enough for a second request after one that went unanswered (TraceProcess waits 60 s).
constexpr auto kPatience = std::chrono::seconds(150);
// The job's 200 s of retries for its lock file after that.
constexpr std::uint32_t kRunTimeout = 400000;

bool OnWindows() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows;
}

std::size_t FirstLineHolding(const Lines& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find(text) != std::string::npos) return i;
  }
  return lines.size();
}

// The report TraceProcess gets from the process, once its main thread has reached the update
// job (its output is buffered on a pipe, so the job's lines cannot tell); the last one asked
// for when it never does in time.
Lines TraceOnceInTheJob(std::uint32_t processId, int& exitCode) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  Lines report;
  do {
    const Platform::CapturedRun trace = Platform::RunCaptured(
        Quoted(TestSupport::TestProgramPath("TraceProcess" + TestSupport::ExecutableSuffix())) +
            " " + std::to_string(processId),
        kTraceTimeout);
    exitCode = trace.exitCode;
    report =
        ReportReading::TextLines(OnWindows() ? Platform::AnsiToUtf8(trace.output) : trace.output);
    if (ReportReading::AnyLineHolds(ReportReading::Section(report, "main thread ($"),
                                    " RunUpdate")) {
      break;
    }
  } while (std::chrono::steady_clock::now() < deadline);
  return report;
}

class UpdateTrace : public E2E::UpdateWorld {};

// TraceProcess asks an Update that waits in its job for the report of its threads: the main
// thread stands in the job, under RunUpdate, under main. The job then goes on unharmed.
TEST_F(UpdateTrace, ListsTheMainThreadOfAWaitingUpdateWithItsCallChain) {
  TestSupport::WriteFile(Staged("Quill.dat"), "new data");
  TestSupport::WriteFile(Installed("NEBQuill.ini"), "[DBParams]\nAppServer=apps:8099\n");
  // Held until the trace is done, so that the job cannot get past its lock file before.
  Platform::Result<Platform::File> held =
      Platform::File::Open(Installed("update.neb"), Platform::File::Mode::CreateAlwaysReadWrite);
  ASSERT_TRUE(held);
  // The job's 200 s of retries outlast the trace, however slow (an emulated one under load).
  EXPECT_TRUE(Platform::SetEnvironmentValue("UPDATE_TEST_PAUSE_DIVISOR", ""));
  const std::string program = CopyTrackedProgram(root.Join("traced"));
  Platform::ChildProcess update(Quoted(program) + " /s:" + Quoted(staging) +
                                " /d:" + Quoted(installation) + " /p:" + Quoted(CallerExe()) +
                                " /i:" + Quoted(Installed("NEBQuill.ini")));
  ASSERT_TRUE(update.Started());
  update.CloseInput();
  std::string output;
  auto run =
      std::async(std::launch::async, [&] { return update.WaitForExit(kRunTimeout, &output); });
  int traceExit = -1;
  // qemu-user catches every signal for its guest, so a request that comes before Update has
  // set up its own handling is lost rather than refused: give the emulated start a head start.
  if (UPDATE_TEST_QEMU) Platform::SleepMilliseconds(5000);
  const Lines report = TraceOnceInTheJob(update.Id(), traceExit);
  held->Close();
  EXPECT_EQ(run.get(), 0) << output;
  EXPECT_EQ(traceExit, 0);

  const Lines mainThread = ReportReading::Section(report, "main thread ($");
  ASSERT_GT(mainThread.size(), 1u) << ::testing::PrintToString(report);
  const std::size_t job = FirstLineHolding(mainThread, " RunUpdate");
  const std::size_t entry = FirstLineHolding(mainThread, " main");
  EXPECT_LT(job, mainThread.size()) << ::testing::PrintToString(mainThread);
  EXPECT_LT(job, entry) << ::testing::PrintToString(mainThread);
  // Above the job's frame: where the job waits (its window probe's pause or its lock file).
  EXPECT_TRUE(std::any_of(mainThread.begin() + 1,
                          mainThread.begin() + static_cast<std::ptrdiff_t>(job),
                          [](const std::string& line) {
                            return line.find("Update.Work") != std::string::npos ||
                                   line.find("RTL.IOUtils") != std::string::npos;
                          }))
      << ::testing::PrintToString(mainThread);
  for (const std::string& title : E2E::SectionTitlesOfTheProgram(report, UPDATE_TEST_QEMU)) {
    EXPECT_NE(title.rfind("thread $", 0), 0u) << ::testing::PrintToString(report);
  }
  EXPECT_EQ(TestSupport::ReadFile(Installed("Quill.dat")), "new data");
}

}  // namespace
