#include "platform/request_pipe.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

namespace {

struct TRecord {
  std::uint32_t Sender = 0;
  std::uint32_t Number = 0;
  std::array<std::uint8_t, 72> Payload{};
};

}  // namespace

TEST(RequestPipe, RecordsFromManyThreadsArriveWholeAndInTheirOwnOrder) {
  const auto pipe = Platform::TRequestPipe::Create();
  ASSERT_NE(pipe, nullptr);
  constexpr std::uint32_t kSenders = 4;
  constexpr std::uint32_t kRecords = 50;
  std::vector<std::thread> senders;
  for (std::uint32_t sender = 0; sender < kSenders; ++sender) {
    senders.emplace_back([&, sender] {
      for (std::uint32_t number = 0; number < kRecords; ++number) {
        TRecord record{sender, number, {}};
        record.Payload.fill(static_cast<std::uint8_t>(sender * 31 + number));
        EXPECT_TRUE(pipe->Write(&record, sizeof record));
      }
    });
  }
  // Read while they write: a pipe holds only a few records before a writer has to wait.
  std::array<std::uint32_t, kSenders> next{};
  TRecord record;
  std::uint32_t total = 0;
  while (total < kSenders * kRecords) {
    const auto result = pipe->Read(&record, sizeof record);
    if (result == Platform::TRequestPipe::TReadResult::Empty) {
      std::this_thread::yield();
      continue;
    }
    ASSERT_EQ(result, Platform::TRequestPipe::TReadResult::Record);
    ASSERT_LT(record.Sender, kSenders);
    EXPECT_EQ(record.Number, next[record.Sender]++);
    for (std::uint8_t byte : record.Payload)
      EXPECT_EQ(byte, static_cast<std::uint8_t>(record.Sender * 31 + record.Number));
    ++total;
  }
  for (std::thread& sender : senders) sender.join();
  EXPECT_EQ(total, kSenders * kRecords);
}

TEST(RequestPipe, AnEmptyPipeSaysSoAndAClosedOneAfterItsLastRecord) {
  const auto pipe = Platform::TRequestPipe::Create();
  ASSERT_NE(pipe, nullptr);
  TRecord record;
  EXPECT_EQ(pipe->Read(&record, sizeof record), Platform::TRequestPipe::TReadResult::Empty);
  ASSERT_TRUE(pipe->Write(&record, sizeof record));
  pipe->CloseWriteEnd();
  EXPECT_FALSE(pipe->Write(&record, sizeof record));
  EXPECT_EQ(pipe->Read(&record, sizeof record), Platform::TRequestPipe::TReadResult::Record);
  EXPECT_EQ(pipe->Read(&record, sizeof record), Platform::TRequestPipe::TReadResult::Closed);
}

TEST(Signal, StaysSetUntilResetAndWakesAWaiter) {
  const auto signal = Platform::TSignal::Create();
  ASSERT_NE(signal, nullptr);
  EXPECT_FALSE(signal->Wait(0));
  std::thread setter([&] { signal->Set(); });
  EXPECT_TRUE(signal->Wait(Platform::kWaitForever));
  setter.join();
  EXPECT_TRUE(signal->Wait(0));  // a manual-reset signal stays set
  signal->Reset();
  EXPECT_FALSE(signal->Wait(10));
}
