#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <future>
#include <optional>

#include "e2e/report_layout.h"
#include "e2e/update_fixture.h"
#include "platform/child_process.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/process.h"
#include "platform/system_lists.h"
#include "platform/text_encoding.h"
#include "reporter/interception/report_reading.h"
#include "support/helper_process.h"

namespace {

using ReportReading::Lines;
using TestSupport::Quoted;

constexpr std::uint32_t kTraceTimeout = 120000;
// Long enough for a second request after one that went unanswered (TraceProcess waits 60 s).
constexpr auto kPatience = std::chrono::seconds(150);

bool OnWindows() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows;
}

bool SameFolder(std::string a, std::string b) {
  for (std::string* path : {&a, &b}) {
    while (!path->empty() && (path->back() == '/' || path->back() == '\\')) path->pop_back();
    if (OnWindows()) {
      std::transform(path->begin(), path->end(), path->begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
  }
  return a == b;
}

// The id of the process running the program file in that folder, or on POSIX the id that its
// shell wrote (under qemu-user every emulated process lists the emulator as its program file);
// 0 when there is none in time.
std::uint32_t ProcessRunning(const std::string& folder, const std::string& fileName,
                             const std::string& idFile) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!OnWindows() && Platform::FileExists(idFile)) {
      const std::string text = TestSupport::ReadFile(idFile);
      std::uint32_t id = 0;
      std::from_chars(text.data(), text.data() + text.size(), id);
      if (id != 0) return id;
    }
    for (const Platform::TProcessRecord& process : Platform::ListProcesses()) {
      if (process.FileName == fileName && SameFolder(process.Directory, folder)) {
        return process.ProcessId;
      }
    }
    Platform::SleepMilliseconds(50);
  }
  return 0;
}

std::size_t FirstLineHolding(const Lines& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find(text) != std::string::npos) return i;
  }
  return lines.size();
}

// The report TraceProcess gets from the process, once its main thread has reached the update
// job (its output is buffered on a file, so the job's lines cannot tell); the last one asked
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
  const std::string folder = root.Join("traced");
  const std::string program = CopyTrackedProgram(folder);
  const std::string output = root.Join("output.txt");
  const std::string switches = "/s:" + Quoted(staging) + " /d:" + Quoted(installation) +
                               " /p:" + Quoted(CallerExe()) +
                               " /i:" + Quoted(Installed("NEBQuill.ini"));
  const std::string idFile = root.Join("update.id");
  auto run = std::async(std::launch::async,
                        [&] { return RunWithOutputFile(program, switches, output, idFile); });
  const std::uint32_t processId =
      ProcessRunning(folder, "Update" + TestSupport::ExecutableSuffix(), idFile);
  int traceExit = -1;
  // qemu-user catches every signal for its guest, so a request that comes before Update has
  // set up its own handling is lost rather than refused: give the emulated start a head start.
  if (UPDATE_TEST_QEMU) Platform::SleepMilliseconds(5000);
  const Lines report = processId != 0 ? TraceOnceInTheJob(processId, traceExit) : Lines{};
  held->Close();
  EXPECT_EQ(run.get(), 0) << TestSupport::ReadFile(output);
  ASSERT_NE(processId, 0u);
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
