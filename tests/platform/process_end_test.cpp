#include <gtest/gtest.h>

#include <string>

#include "fakes/restart_payload.h"
#include "platform/child_process.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/restart_handover.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

using TestSupport::Quoted;

// Generous: a program's first start under an emulator or Wine can take seconds.
constexpr std::uint32_t kTimeoutMilliseconds = 60000;
constexpr std::uint32_t kPollMilliseconds = 20;

Platform::CapturedRun RunTarget(const std::string& arguments) {
  return Platform::RunCaptured(
      Quoted(TestSupport::TestProgramPath("ProcessEndTarget")) + " " + arguments,
      kTimeoutMilliseconds);
}

TEST(ExitProcessNow, EndsWithTheCodeWithoutAtexitHandlersOrBufferedOutput) {
  // For comparison: an ordinary exit flushes the buffer and runs the handler.
  const Platform::CapturedRun ordinary = RunTarget("exit");
  ASSERT_TRUE(ordinary.started);
  EXPECT_EQ(ordinary.exitCode, 3);
  EXPECT_EQ(ordinary.output, "bufferedatexit");

  const Platform::CapturedRun now = RunTarget("exit-now");
  EXPECT_EQ(now.exitCode, 3);
  EXPECT_EQ(now.output, "");
}

TEST(ExitProcessNow, FromASecondThreadEndsTheWholeProcess) {
  const Platform::CapturedRun run = RunTarget("exit-now-thread");
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.output, "");
}

TEST(RestartHandover, NoneForAProcessStartedOrdinarily) {
  EXPECT_FALSE(Platform::TakeRestartHandover().has_value());
}

TEST(RestartHandover, RestartedProcessReceivesThePayloadAndTheSameArguments) {
  TestSupport::ScopedTempDir folder;
  const std::string result = folder.Join("result.txt");
  const Platform::CapturedRun first =
      RunTarget("restart " + Quoted(result) + " " + Quoted("two words"));
  ASSERT_TRUE(first.started);
  EXPECT_EQ(first.exitCode, 2);

  // The restarted instance is no child of ours: it tells its outcome through the file, in one
  // line-terminated write.
  std::string text;
  for (std::uint32_t waited = 0; waited < kTimeoutMilliseconds; waited += kPollMilliseconds) {
    if (Platform::FileExists(result)) {
      text = TestSupport::ReadFile(result);
      if (!text.empty() && text.back() == '\n') break;
    }
    Platform::SleepMilliseconds(kPollMilliseconds);
  }
  EXPECT_EQ(text, Fakes::HexText(Fakes::KnownRestartPayload()) + "\ntwo words\n");
}

}  // namespace
