#include "platform/trace_request.h"

#include <gtest/gtest.h>

#include <string>

#include "support/helper_process.h"

namespace {

// A running process that answers trace requests, for the length of one test.
class TraceTargetTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(target_.ReadyText().empty()); }

  TestSupport::HelperProcess target_{"TraceTarget", {}};
  const std::uint32_t processId_ =
      static_cast<std::uint32_t>(std::stoul("0" + target_.ReadyText()));
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
