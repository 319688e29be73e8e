#include "reporter/core/handling_thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "reporter/core/report_exception.h"
#include "reporter/core/reported_exception.h"
#include "rtl/exceptions.h"

namespace {

using namespace Reporter::Core;

// A hidden exception is processed without any output: no handler takes it, so processing
// ends right after it was created.
bool HandOverHidden() {
  TExceptionRequest request;
  request.ExceptType = etHidden;
  request.CanContinue = true;
  request.ExceptObject = std::make_exception_ptr(RTL::Exception("verborgen"));
  const std::unique_ptr<Platform::TSignal> done = Platform::TSignal::Create();
  TPipeRecord record;
  record.Done = done.get();
  record.Request = &request;
  return HandOver(record) && done->Wait(0);
}

class HandlingThread : public testing::Test {
 protected:
  ~HandlingThread() override { StopHandlingThread(); }
};

TEST_F(HandlingThread, RequestsOfSeveralThreadsAreAllProcessedAndReleased) {
  ASSERT_TRUE(StartHandlingThread());
  std::vector<std::thread> threads;
  std::vector<int> handed(4, 0);
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&handed, i] { handed[i] = HandOverHidden() ? 1 : 0; });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(handed, (std::vector<int>{1, 1, 1, 1}));
  EXPECT_NE(HandlingThreadId(), 0u) << "known once it runs";
}

TEST_F(HandlingThread, StopsAndStartsAgain) {
  ASSERT_TRUE(StartHandlingThread());
  StopHandlingThread();
  EXPECT_FALSE(HandlingThreadRunning());
  EXPECT_EQ(HandlingThreadId(), 0u);
  EXPECT_FALSE(HandOverHidden()) << "nobody is there to take it";
  ASSERT_TRUE(StartHandlingThread());
  EXPECT_TRUE(HandOverHidden());
}

TEST_F(HandlingThread, AnAbortThatMayContinueIsNeverHandedOver) {
  ASSERT_TRUE(StartHandlingThread());
  TExceptionRequest request;
  request.ExceptObject = std::make_exception_ptr(RTL::EAbort());
  request.CanContinue = true;
  ReportException(std::move(request));  // returns: nothing to report, nothing ends
  EXPECT_TRUE(HandlingThreadRunning());
  EXPECT_TRUE(HandOverHidden()) << "the pipe is still free for the next request";
}

TEST_F(HandlingThread, TheOutOfMemoryReserveIsHeldAgainAfterAReport) {
  OutOfMemoryReserve().Reserve();
  const std::size_t held = OutOfMemoryReserve().HeldBytes();
  TExceptionRequest request;
  request.ExceptObject = std::make_exception_ptr(RTL::EAbort());
  request.CanContinue = true;
  ReportException(std::move(request));
  EXPECT_EQ(OutOfMemoryReserve().HeldBytes(), held);
  OutOfMemoryReserve().Release();
}

}  // namespace
