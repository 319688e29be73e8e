#include "platform/trace_request.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/ready_release.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "support/helper_process.h"
#include "support/scoped_temp_dir.h"

namespace {

// A running process that answers trace requests, for the length of one test.
class TraceTargetTest : public testing::Test {
 protected:
  void SetUp() override {
    ready_ = dir_.Join("ready");
    release_ = dir_.Join("release");
    ASSERT_TRUE(Platform::StartProcess(
        TestSupport::Quoted(TestSupport::TestProgramPath("TraceTarget")) + " " +
            TestSupport::Quoted(ready_) + " " + TestSupport::Quoted(release_),
        false));
    Fakes::WaitForFile(ready_);
    processId_ = static_cast<std::uint32_t>(std::stoul(TestSupport::ReadFile(ready_)));
  }
  // The process must see the release before the folder goes.
  void TearDown() override {
    TestSupport::WriteFile(release_, "go");
    for (int waited = 0; waited < 10000 && Platform::FileExists(ready_); waited += 20)
      Platform::SleepMilliseconds(20);
  }

  TestSupport::ScopedTempDir dir_;
  std::string ready_;
  std::string release_;
  std::uint32_t processId_ = 0;
};

TEST_F(TraceTargetTest, TheProcessAnswersWithItsTextCutToTheLimit) {
  const std::string whole = "Prozess " + std::to_string(processId_) + ", Grenze 1000: ü";
  const Platform::TTraceAnswer answer = Platform::RequestTrace(processId_, 1000, 20000);
  EXPECT_EQ(answer.Outcome, Platform::TTraceOutcome::Answered);
  EXPECT_EQ(answer.Text, whole);

  const Platform::TTraceAnswer cut = Platform::RequestTrace(processId_, 9, 20000);
  EXPECT_EQ(cut.Outcome, Platform::TTraceOutcome::Answered);
  EXPECT_EQ(cut.Text, "Prozess ");  // 9 - 1 bytes, then the zero byte
}

TEST(TraceRequest, AProcessThatIsNotThereCannotBeReached) {
  EXPECT_EQ(Platform::RequestTrace(0x7ffffff0u, 100, 500).Outcome,
            Platform::TTraceOutcome::Unreachable);
}

}  // namespace
