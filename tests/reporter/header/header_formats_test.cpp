// Durations and sizes as the header writes them.

#include <gtest/gtest.h>

#include <cstdint>

#include "reporter/report/header/header_formats.h"

namespace {

using namespace Reporter::Report;

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = kKiB * kKiB;
constexpr std::uint64_t kGiB = kMiB * kKiB;

TEST(DurationToStr, ShowsTheTwoLargestUnitsOfTheDuration) {
  EXPECT_EQ(DurationToStr(90061), "1 day 1 hour");
  EXPECT_EQ(DurationToStr(7320), "2 hours 2 minutes");
  EXPECT_EQ(DurationToStr(59), "59 seconds");
  EXPECT_EQ(DurationToStr(3 * 86400 + 23 * 3600 + 59 * 60 + 59), "3 days 23 hours");
  EXPECT_EQ(DurationToStr(61), "1 minute 1 second");
}

TEST(DurationToStr, LeavesOutUnitsThatAreZero) {
  EXPECT_EQ(DurationToStr(86400), "1 day");
  EXPECT_EQ(DurationToStr(2 * 86400 + 59 * 60), "2 days");
  EXPECT_EQ(DurationToStr(3600 + 5), "1 hour");
  EXPECT_EQ(DurationToStr(120), "2 minutes");
  EXPECT_EQ(DurationToStr(1), "1 second");
}

TEST(DurationToStr, NothingAndNegativeGiveAnEmptyText) {
  EXPECT_EQ(DurationToStr(0), "");
  EXPECT_EQ(DurationToStr(-5), "");
  EXPECT_EQ(DurationToStr(INT64_MIN), "");
}

TEST(SizeToStr, BytesBelowOneKibibyte) {
  EXPECT_EQ(SizeToStr(0, ','), "0 Bytes");
  EXPECT_EQ(SizeToStr(1023, ','), "1023 Bytes");
}

TEST(SizeToStr, KilobytesWithTwoTruncatedDecimals) {
  EXPECT_EQ(SizeToStr(1024, ','), "1,00 KB");
  EXPECT_EQ(SizeToStr(1536, ','), "1,50 KB");
  EXPECT_EQ(SizeToStr(1034, ','), "1,00 KB");  // 1,0097 is cut, not rounded
  EXPECT_EQ(SizeToStr(kMiB - 1, ','), "1023,99 KB");
}

TEST(SizeToStr, MegabytesAndGigabytesFromWholeKibibytes) {
  EXPECT_EQ(SizeToStr(kMiB, ','), "1,00 MB");
  EXPECT_EQ(SizeToStr(100 * kMiB, ','), "100,00 MB");
  EXPECT_EQ(SizeToStr(kGiB - 1, ','), "1023,99 MB");
  EXPECT_EQ(SizeToStr(kGiB, ','), "1,00 GB");
  EXPECT_EQ(SizeToStr(5 * kGiB + kGiB / 4, ','), "5,25 GB");
  EXPECT_EQ(SizeToStr(UINT64_MAX, ','), "17179869183,99 GB");
}

TEST(SizeToStr, UsesTheGivenSeparator) {
  EXPECT_EQ(SizeToStr(1536, '.'), "1.50 KB");
  EXPECT_EQ(SizeToStr(1023, '.'), "1023 Bytes");
}

TEST(SizeToStr, MachineSeparatorIsReadOnceAndUsed) {
  const char separator = ReportDecimalSeparator();
  EXPECT_NE(separator, '\0');
  EXPECT_EQ(ReportDecimalSeparator(), separator);
  EXPECT_EQ(SizeToStr(1536), SizeToStr(1536, separator));
}

}  // namespace
