#include "reporter/core/exception_history.h"

#include <gtest/gtest.h>

namespace {

using namespace Reporter::Core;

constexpr std::int64_t kNow = 13'400'000'000;

TExceptionHistory Filled(std::int64_t newest, std::int64_t step) {
  TExceptionHistory history{};
  for (std::size_t i = 0; i < history.size(); ++i) {
    history[i] = newest - static_cast<std::int64_t>(i) * step;
  }
  return history;
}

TEST(ExceptionHistory, NewestComesFirstAndTheOldestDropsOut) {
  TExceptionHistory history = Filled(100, 1);  // 100, 99, ..., 91
  PushExceptionTime(history, 200);
  EXPECT_EQ(history[0], 200);
  EXPECT_EQ(history[1], 100);
  EXPECT_EQ(history[9], 92);
}

TEST(ExceptionHistory, ZeroAndOneNeedNoHistory) {
  const TExceptionHistory empty{};
  EXPECT_FALSE(RecentExceptionsWithin(empty, 0, kNow));
  EXPECT_FALSE(RecentExceptionsWithin(Filled(kNow, 0), 0, kNow));
  EXPECT_TRUE(RecentExceptionsWithin(empty, 1, kNow));
  EXPECT_FALSE(RecentExceptionsWithin(empty, -5, kNow));
}

TEST(ExceptionHistory, FromTwoUpAllTenMustLieWithinTheSeconds) {
  EXPECT_TRUE(RecentExceptionsWithin(Filled(kNow, 1), 9, kNow));   // oldest 9 s ago
  EXPECT_FALSE(RecentExceptionsWithin(Filled(kNow, 1), 8, kNow));  // oldest 9 s ago
  TExceptionHistory nine = Filled(kNow, 0);
  nine[9] = 0;  // only nine exceptions so far
  EXPECT_FALSE(RecentExceptionsWithin(nine, 60, kNow));
}

TEST(ExceptionHistory, HandOverBytesAreLittleEndianAndRoundTrip) {
  TExceptionHistory history{};
  history[0] = 0x0102030405060708;
  history[9] = -1;
  const auto bytes = HistoryToBytes(history);
  EXPECT_EQ(bytes[0], 0x08);
  EXPECT_EQ(bytes[7], 0x01);
  EXPECT_EQ(bytes[79], 0xff);
  EXPECT_EQ(HistoryFromBytes(bytes), history);
}

TEST(ExceptionHistory, TimeCountsSecondsSince1601) {
  // 2020-01-01 lies 13,222,598,400 seconds after 1601-01-01.
  EXPECT_GT(HistoryTimeNow(), 13'222'598'400);
}

}  // namespace
