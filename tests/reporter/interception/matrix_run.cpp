#include "reporter/interception/matrix_run.h"

#include <gtest/gtest.h>

#include "platform/child_process.h"
#include "platform/file_system.h"
#include "platform/path_style.h"
#include "platform/system_dump.h"
#include "platform/text_encoding.h"
#include "support/helper_process.h"

namespace CrashMatrixTesting {
namespace {

bool OnWindows() {
  return Platform::NativePathStyle() == Platform::PathStyle::Windows;
}

// A stack overflow under an emulator and a report with system lists take their time.
constexpr std::uint32_t kTimeoutMilliseconds = 180000;

}  // namespace

TMatrixRun::TMatrixRun(bool readsDump)
    : program_(folder_.Join("CrashMatrix" + TestSupport::ExecutableSuffix())),
      readsDump_(readsDump) {
  const std::string built =
      TestSupport::TestProgramPath("CrashMatrix" + TestSupport::ExecutableSuffix());
  EXPECT_TRUE(Platform::CopyFileReplacing(built, program_)) << built;
}

void TMatrixRun::Run(const std::string& row) {
  const bool withoutDump = !readsDump_ && Platform::SystemDumpWriterAvailable();
  const Platform::CapturedRun run = Platform::RunCaptured(
      TestSupport::Quoted(program_) + " " + row + (withoutDump ? " without-dump" : ""),
      kTimeoutMilliseconds);
  EXPECT_TRUE(run.started) << program_;
  timedOut = run.timedOut;
  exitCode = run.exitCode;
  // A redirected standard output carries the ANSI code page on Windows.
  lines = ReportReading::TextLines(OnWindows() ? Platform::AnsiToUtf8(run.output) : run.output);
  printed = ReportReading::SplitAtFailure(lines);
}

bool TMatrixRun::Saved() const {
  return Platform::FileExists(folder_.Join("bugreport.txt"));
}

ReportReading::Lines TMatrixRun::SavedReport() const {
  if (!Saved()) return {};
  return ReportReading::WithoutTrailingEmptyLines(
      ReportReading::TextLines(TestSupport::ReadFile(folder_.Join("bugreport.txt"))));
}

}  // namespace CrashMatrixTesting
