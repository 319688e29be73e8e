#include "reporter/report/sections/machine_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "reporter/report/sections/section_format.h"
#include "reporter/sections/report_lines.h"

namespace Reporter::Report {
namespace {

using ReportTest::Lines;

TEST(CpuRegisters, NineLinesInTheBuildsWidth) {
  Platform::TThreadContext context;
  context.Ax = 0x19ff2c;
  context.Bx = 1;
  context.Cx = 2;
  context.Dx = 3;
  context.Si = 4;
  context.Di = 5;
  context.Ip = 0x49c6f9;
  context.Sp = 0x19ff00;
  context.Bp = 0xABCDEF;
  const auto lines = Lines(CpuRegistersText(context));
  const std::string r = sizeof(void*) == 8 ? "r" : "e";
  const std::vector<std::string> expected = {
      r + "ax = " + HexAddress(0x19ff2c), r + "bx = " + HexAddress(1),
      r + "cx = " + HexAddress(2),        r + "dx = " + HexAddress(3),
      r + "si = " + HexAddress(4),        r + "di = " + HexAddress(5),
      r + "ip = " + HexAddress(0x49c6f9), r + "sp = " + HexAddress(0x19ff00),
      r + "bp = " + HexAddress(0xabcdef),
  };
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(HexAddress(0xabcdef).size(), 2 * sizeof(void*));
}

TEST(StackDump, FullLineShowsHexAndCharacters) {
  const std::vector<std::uint8_t> bytes = {0x01, 0x00, 0x00, 0x00, 0xa4, 0xff, 0x19, 0x00,
                                           0x3c, 0x12, 0x41, 0x00, 0x00, 0x00, 0x00, 0x7f};
  EXPECT_EQ(FormatStackDump(0x19ff2c, bytes),
            HexAddress(0x19ff2c) + "  01 00 00 00 a4 ff 19 00 - 3c 12 41 00 00 00 00 7f  " +
                "........<.A.....");
}

TEST(StackDump, RegionEndingFortyBytesAboveLeavesBlankSlots) {
  std::vector<std::uint8_t> bytes(40);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{0x41});
  const auto lines = Lines(FormatStackDump(0x1000, bytes));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].substr(0, HexAddress(0).size()), HexAddress(0x1010));
  EXPECT_EQ(lines[2], HexAddress(0x1020) + "  61 62 63 64 65 66 67 68" + std::string(1 + 2, ' ') +
                          std::string(8 * 3, ' ') + " abcdefgh");
}

TEST(StackDump, ShowsAtMostTwentyLines) {
  const std::vector<std::uint8_t> bytes(1000, 0x20);
  const auto lines = Lines(FormatStackDump(0x2000, bytes));
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines.back().substr(0, HexAddress(0).size()), HexAddress(0x2000 + 19 * 16));
  EXPECT_EQ(FormatStackDump(0x2000, {}), "");
}

TEST(StackDump, ReadsTheLiveStack) {
  alignas(16) volatile std::uint8_t local[32];
  for (std::size_t i = 0; i < sizeof local; ++i) local[i] = static_cast<std::uint8_t>('a' + i % 26);
  const auto address = reinterpret_cast<std::uintptr_t>(&local[0]);
  const auto lines = Lines(StackDumpText(address));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], HexAddress(address) +
                          "  61 62 63 64 65 66 67 68 - 69 6a 6b 6c 6d 6e 6f 70  abcdefghijklmnop");
  EXPECT_EQ(StackDumpText(0x10), "");
}

}  // namespace
}  // namespace Reporter::Report
