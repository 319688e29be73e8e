#include "reporter/report/sections/stack_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reporter/report/sections/section_format.h"
#include "reporter/sections/report_lines.h"

namespace Reporter::Report {
namespace {

using Tracer::TStackItem;

TStackItem Item(Tracer::Address addr, Tracer::Address rel, const std::string& module,
                const std::string& unit, int line, int relLine, const std::string& function) {
  return {addr, rel, module, unit, line, relLine, function};
}

using ReportTest::Lines;

// A plain bitwise CRC-32 step (reflected polynomial, no inversions), independent of the
// table the program uses.
std::uint32_t BitwiseCrc(std::uint32_t crc, const std::vector<std::uint8_t>& bytes) {
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc;
}

std::vector<std::uint8_t> Utf16LeBytes(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

std::vector<std::uint8_t> LeBytes(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

TEST(StackLines, ColumnsLineUpAndFollowTheOptionsAndWhatIsKnown) {
  const std::string a = HexAddress(0x1000), b = HexAddress(0x2000);
  const struct {
    const char* behaviour;
    Tracer::TStackTrace items;
    TSectionOptions options;
    std::vector<std::string> lines;
  } cases[] = {
      {"columns line up with lines and relative lines",
       {Item(0x49c6f9, 0x0d, "Update.exe", "Update.Work", 214, 12, "RunUpdate"),
        Item(0x57912a, 0x4a, "Update.exe", "Update", 31, 5, "initialization")},
       {},
       {HexAddress(0x49c6f9) + " +0d Update.exe Update.Work 214 +12 RunUpdate",
        HexAddress(0x57912a) + " +4a Update.exe Update       31  +5 initialization"}},
      // The widest offset sets the column; an item without a start shows "+" and zeros.
      {"without line numbers there are no line columns",
       {Item(0x1000, 0x123, "a.dll", "", 0, 0, "Open"),
        Item(0x2000, 0, "kernel32.dll", "", 0, 0, "")},
       {},
       {a + " +123 a.dll         Open", b + " +000 kernel32.dll  "}},
      {"no known start gives no relative address",
       {Item(0x1000, 0, "m", "u", 7, 0, "F")},
       {},
       {a + " m u 7 +0 F"}},
      // Without ShowRelLines the relative line stands without "+".
      {"relative columns follow the options",
       {Item(0x1000, 0x10, "m", "u", 7, 2, "F"), Item(0x2000, 0x20, "m", "u", 0, 0, "G")},
       {false, false},
       {a + " m u 7 2 F", b + " m u     G"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    EXPECT_EQ(Lines(FormatStackLines(c.items, c.options).Text), c.lines);
  }
}

TEST(StackLines, ConsecutiveEqualAddressesShowOnce) {
  const Tracer::TStackTrace items = {
      Item(0x1000, 4, "m", "u", 1, 0, "F"),
      Item(0x1000, 4, "m", "u", 1, 0, "F"),
      Item(0x2000, 8, "m", "u", 2, 0, "G"),
      Item(0x1000, 4, "m", "u", 1, 0, "F"),
  };
  const auto once = FormatStackLines({items[0], items[2], items[3]}, {});
  const auto result = FormatStackLines(items, {});
  EXPECT_EQ(Lines(result.Text).size(), 3u);
  EXPECT_EQ(result.Text, once.Text);
  EXPECT_EQ(result.RunningCrc, once.RunningCrc);
}

TEST(StackLines, CheckValuesUseOffsetsAndLowerCasedNames) {
  const Tracer::TStackTrace items = {
      // Only A-Z, Ä, Ö and Ü are lowered: É stays.
      Item(0x401234, 0x34, "UPDATE.exe", "Über.Work", 10, 1, "RunÄÉ"),
      Item(0x405000, 0x10, "Update.exe", "", 0, 0, "Main"),
      Item(0x7700aa00, 0, "ntdll.dll", "", 0, 0, ""),  // no function: the address counts
  };
  const std::uint32_t v1 = BitwiseCrc(
      BitwiseCrc(BitwiseCrc(0x34, Utf16LeBytes(u"update.exe")), Utf16LeBytes(u"über.work")),
      Utf16LeBytes(u"runäÉ"));
  const std::uint32_t v2 =
      BitwiseCrc(BitwiseCrc(0x10, Utf16LeBytes(u"update.exe")), Utf16LeBytes(u"main"));
  const std::uint32_t v3 = 0x7700aa00;
  const std::uint32_t running = BitwiseCrc(BitwiseCrc(v1, LeBytes(v2)), LeBytes(v3));

  const auto result = FormatStackLines(items, {});
  EXPECT_EQ(result.FirstCrc, v1);
  EXPECT_EQ(result.RunningCrc, running);
  EXPECT_TRUE(result.AnyRelLine);
}

TEST(StackLines, CheckValuesSurviveAMovedBuild) {
  Tracer::TStackTrace items = {Item(0x401234, 0x34, "Update.exe", "U", 10, 1, "F"),
                               Item(0x402000, 0x20, "Update.exe", "U", 20, 2, "G")};
  const auto before = FormatStackLines(items, {});
  for (auto& item : items) item.Addr += 0x5000;
  const auto after = FormatStackLines(items, {});
  EXPECT_NE(before.Text, after.Text);
  EXPECT_EQ(before.FirstCrc, after.FirstCrc);
  EXPECT_EQ(before.RunningCrc, after.RunningCrc);
}

TEST(StackLines, NoShownLineGivesZeroValues) {
  const auto result = FormatStackLines({}, {});
  EXPECT_EQ(result.Text, "");
  EXPECT_EQ(result.FirstCrc, 0u);
  EXPECT_EQ(result.RunningCrc, 0u);
  EXPECT_FALSE(result.AnyRelLine);
}

TEST(StackLines, CreatorLineGoesBeforeTheLastLine) {
  EXPECT_EQ(InsertCreatorLine("a\r\nb\r\nc", "main thread ($1a2c)"),
            "a\r\nb\r\n>> created by main thread ($1a2c) at:\r\nc");
  EXPECT_EQ(InsertCreatorLine("only", "t"), ">> created by t at:\r\nonly");
  EXPECT_EQ(InsertCreatorLine(">> stack not accessible\r\nx", "t"), ">> stack not accessible\r\nx");
  EXPECT_EQ(InsertCreatorLine("", "t"), "");
}

}  // namespace
}  // namespace Reporter::Report
