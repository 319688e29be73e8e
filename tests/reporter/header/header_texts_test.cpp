// How the header writes single values.

#include <gtest/gtest.h>

#include "reporter/report/header/header_formats.h"
#include "reporter/report/header/header_texts.h"

namespace {

using namespace Reporter::Report;

TEST(ReportDateTimeText, MillisecondsWithoutLeadingZeros) {
  EXPECT_EQ(ReportDateTimeText({2021, 3, 5, 14, 3, 7, 45}), "2021-03-05, 14:03:07, 45ms");
  EXPECT_EQ(ReportDateTimeText({2021, 12, 31, 0, 0, 0, 0}), "2021-12-31, 00:00:00, 0ms");
  EXPECT_EQ(ReportDateTimeText({999, 1, 1, 9, 5, 3, 999}), "0999-01-01, 09:05:03, 999ms");
}

TEST(FileDateTimeText, MinutesWithoutSeconds) {
  EXPECT_EQ(FileDateTimeText({2024, 2, 29, 7, 5, 59}), "2024-02-29 07:05");
}

TEST(FoldSpaces, LineBreaksAndRunsBecomeOneSpace) {
  EXPECT_EQ(FoldSpaces("a\r\nb"), "a b");
  EXPECT_EQ(FoldSpaces("a\rb\nc"), "a b c");
  EXPECT_EQ(FoldSpaces("Intel(R)   Core(TM)  i5"), "Intel(R) Core(TM) i5");
  EXPECT_EQ(FoldSpaces("a \r\n \r\n b"), "a b");
  EXPECT_EQ(FoldSpaces("tab\tstays"), "tab\tstays");
}

TEST(UserText, AdministratorsAreMarked) {
  EXPECT_EQ(UserText({"user1", true}), "user1  <admin>");
  EXPECT_EQ(UserText({"user1", false}), "user1");
  EXPECT_EQ(UserText({"", true}), "");
}

TEST(RegisteredOwnerText, OrganisationOnlyWhenThereIsOne) {
  EXPECT_EQ(RegisteredOwnerText({"Anna", "Quill GmbH"}), "Anna / Quill GmbH");
  EXPECT_EQ(RegisteredOwnerText({"Anna", ""}), "Anna");
  EXPECT_EQ(RegisteredOwnerText({"", ""}), "");
}

TEST(ProgramUpTimeText, MillisecondsUnderOneSecond) {
  EXPECT_EQ(ProgramUpTimeText(0), "0 milliseconds");
  EXPECT_EQ(ProgramUpTimeText(999), "999 milliseconds");
  EXPECT_EQ(ProgramUpTimeText(1000), "1 second");
  EXPECT_EQ(ProgramUpTimeText(61999), "1 minute 1 second");
  EXPECT_EQ(ProgramUpTimeText(-3), "0 milliseconds");
}

TEST(ProcessorField, OneProcessorHasTheSingularKeySeveralAreCounted) {
  using TField = std::pair<std::string, std::string>;
  EXPECT_EQ(ProcessorField({"  Intel(R)  Core(TM) i5 ", 1}),
            (TField{"processor", "Intel(R) Core(TM) i5"}));
  EXPECT_EQ(ProcessorField({"Intel(R) Core(TM) i5", 8}),
            (TField{"processors", "8x Intel(R) Core(TM) i5"}));
}

TEST(PhysicalMemoryText, RoundedToTheNearestMebibyte) {
  constexpr std::uint64_t kMiB = 1024 * 1024;
  EXPECT_EQ(PhysicalMemoryText({kMiB / 2 - 1, 16384 * kMiB + kMiB / 2}), "0/16385 MB (free/total)");
  EXPECT_EQ(PhysicalMemoryText({1023 * kMiB + 1, 2048 * kMiB}), "1023/2048 MB (free/total)");
}

TEST(FreeDiskSpaceText, EachRootWithItsSize) {
  constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;
  EXPECT_EQ(FreeDiskSpaceText({{"C:", kGiB + kGiB / 2}, {"D:", 20 * kGiB}}, ','),
            "(C:) 1,50 GB (D:) 20,00 GB");
  EXPECT_EQ(FreeDiskSpaceText({{"/", 1536}}, '.'), "(/) 1.50 KB");
  EXPECT_EQ(FreeDiskSpaceText({}, ','), "");
}

TEST(DisplayModeText, PixelsAndDepth) {
  EXPECT_EQ(DisplayModeText({1920, 1080, 32}), "1920x1080, 32 bit");
}

TEST(ProcessIdText, LowerCaseHexadecimalWithoutLeadingZeros) {
  EXPECT_EQ(ProcessIdText(0x1A2C), "$1a2c");
  EXPECT_EQ(ProcessIdText(0xFFFFFFFF), "$ffffffff");
  EXPECT_EQ(ProcessIdText(0), "$0");
}

TEST(FileNameOfPath, EitherSeparator) {
  EXPECT_EQ(FileNameOfPath("C:\\Programme\\Quill\\Update.exe"), "Update.exe");
  EXPECT_EQ(FileNameOfPath("/opt/quill/Update"), "Update");
  EXPECT_EQ(FileNameOfPath("Update"), "Update");
  EXPECT_EQ(FileNameOfPath("C:\\dir/"), "");
}

}  // namespace
