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

TEST(ProcessList, ColumnsShareTheirWidestEntryAndTheSessionColumnOnlyWhenOneIsNotZero) {
  constexpr auto kNormal = Platform::kNormalPriorityClass;
  const struct {
    const char* behaviour;
    std::vector<TProcessRecord> processes;
    const char* text;
  } cases[] = {
      {"ids share the widest hex width and Idle is printed as zeros",
       {Process(0, "Idle", ""), Process(4, "System", ""),
        Process(0x1a2c, "app.exe", "C:\\App", 0, kNormal, 12, 345)},
       "0000 Idle    0  0          \r\n"
       "0004 System  0  0          \r\n"
       "1a2c app.exe 12 345 normal C:\\App"},
      {"no session column while every session is zero",
       {Process(0x10, "a", "/bin", 0, kNormal),
        Process(0x20, "b", "/bin", 0, Platform::kIdlePriorityClass)},
       "10 a 0 0 normal /bin\r\n"
       "20 b 0 0 idle   /bin"},
      {"one session not zero gives every line a session value, zero included",
       {Process(0x10, "a", "/bin", 0, kNormal), Process(0x20, "b", "/bin", 123, kNormal)},
       "10 a 0   0 0 normal /bin\r\n"
       "20 b 123 0 0 normal /bin"},
      {"count columns are one wider than their longest number",
       {Process(1, "x", "d", 0, Platform::kHighPriorityClass, 7, 1000),
        Process(2, "y", "d", 0, Platform::kBelowNormalPriorityClass, 65, 2)},
       "1 x 7  1000 high         d\r\n"
       "2 y 65 2    below normal d"},
      {"an empty list is empty text", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    EXPECT_EQ(FormatProcessList(c.processes), c.text);
  }
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
