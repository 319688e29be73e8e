#include "reporter/report/system_lists/process_list.h"

#include <gtest/gtest.h>

namespace {

using Platform::TProcessRecord;
using Reporter::Report::FormatProcessList;
using Reporter::Report::PriorityText;

TProcessRecord Process(std::uint32_t id, std::string name, std::string directory,
                       std::uint32_t session = 0, std::int32_t priority = -1, std::uint32_t gdi = 0,
                       std::uint32_t user = 0) {
  return {std::move(name), std::move(directory), id, session, priority, gdi, user};
}

TEST(ProcessList, IdsShareTheWidestHexWidthAndIdleIsPrintedAsZeros) {
  const std::vector<TProcessRecord> processes = {
      Process(0, "Idle", ""),
      Process(4, "System", ""),
      Process(0x1a2c, "app.exe", "C:\\App", 0, Platform::kNormalPriorityClass, 12, 345),
  };
  EXPECT_EQ(FormatProcessList(processes),
            "0000 Idle    0  0          \r\n"
            "0004 System  0  0          \r\n"
            "1a2c app.exe 12 345 normal C:\\App");
}

TEST(ProcessList, NoSessionColumnWhileEverySessionIsZero) {
  const std::vector<TProcessRecord> processes = {
      Process(0x10, "a", "/bin", 0, Platform::kNormalPriorityClass),
      Process(0x20, "b", "/bin", 0, Platform::kIdlePriorityClass),
  };
  EXPECT_EQ(FormatProcessList(processes),
            "10 a 0 0 normal /bin\r\n"
            "20 b 0 0 idle   /bin");
}

TEST(ProcessList, OneNonZeroSessionGivesEveryLineASessionValueZeroIncluded) {
  const std::vector<TProcessRecord> processes = {
      Process(0x10, "a", "/bin", 0, Platform::kNormalPriorityClass),
      Process(0x20, "b", "/bin", 123, Platform::kNormalPriorityClass),
  };
  EXPECT_EQ(FormatProcessList(processes),
            "10 a 0   0 0 normal /bin\r\n"
            "20 b 123 0 0 normal /bin");
}

TEST(ProcessList, CountColumnsAreOneWiderThanTheirLongestNumber) {
  const std::vector<TProcessRecord> processes = {
      Process(1, "x", "d", 0, Platform::kHighPriorityClass, 7, 1000),
      Process(2, "y", "d", 0, Platform::kBelowNormalPriorityClass, 65, 2),
  };
  EXPECT_EQ(FormatProcessList(processes),
            "1 x 7  1000 high         d\r\n"
            "2 y 65 2    below normal d");
}

TEST(ProcessList, EmptyListIsEmptyText) {
  EXPECT_EQ(FormatProcessList({}), "");
}

TEST(PriorityText, KnownClassesHaveNamesOthersTheirHexValue) {
  EXPECT_EQ(PriorityText(32), "normal");
  EXPECT_EQ(PriorityText(64), "idle");
  EXPECT_EQ(PriorityText(128), "high");
  EXPECT_EQ(PriorityText(256), "realtime");
  EXPECT_EQ(PriorityText(16384), "below normal");
  EXPECT_EQ(PriorityText(32768), "above normal");
  EXPECT_EQ(PriorityText(0), "");
  EXPECT_EQ(PriorityText(-1), "");
  EXPECT_EQ(PriorityText(0x1ABC), "$1abc");
  EXPECT_EQ(PriorityText(-2), "$fffffffe");
}

}  // namespace
