#include "reporter/report/tracer/call_site.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "reporter/report/tracer/function_analyser.h"

namespace Reporter::Tracer {
namespace {

// Bytes placed at the end of an 8-byte window; the address tested is right behind them.
bool AfterCall(std::vector<std::uint8_t> tail) {
  std::vector<std::uint8_t> bytes(16, 0x90);
  std::copy(tail.begin(), tail.end(), bytes.begin() + 8 - static_cast<long>(tail.size()));
  TMemoryView memory;
  return IsAfterCallSite(memory, reinterpret_cast<std::uintptr_t>(bytes.data()) + 8);
}

TEST(CallSite, RecognisesEveryCallForm) {
  EXPECT_TRUE(AfterCall({0xE8, 0x10, 0x20, 0x30, 0x40}));              // call rel32
  EXPECT_TRUE(AfterCall({0xFF, 0xD0}));                                // call eax
  EXPECT_TRUE(AfterCall({0xFF, 0x55, 0xF8}));                          // call [ebp-8]
  EXPECT_TRUE(AfterCall({0xFF, 0x54, 0x24, 0x04}));                    // call [esp+4]
  EXPECT_TRUE(AfterCall({0xFF, 0x15, 0x00, 0x10, 0x40, 0x00}));        // call [disp32]
  EXPECT_TRUE(AfterCall({0xFF, 0x94, 0x24, 0x00, 0x01, 0x00, 0x00}));  // call [esp+disp32]
  EXPECT_TRUE(AfterCall({0x9A, 0x00, 0x10, 0x40, 0x00, 0x23, 0x00}));  // call far
  EXPECT_TRUE(AfterCall({0x41, 0xFF, 0xD0}));                          // call r8 (REX)
  EXPECT_TRUE(AfterCall({0xFF, 0x1D, 0, 0, 0, 0}));                    // call far [disp32]
}

TEST(CallSite, RejectsOtherBytes) {
  EXPECT_FALSE(AfterCall({}));                        // nops
  EXPECT_FALSE(AfterCall({0xFF, 0xE0}));              // jmp eax
  EXPECT_FALSE(AfterCall({0xFF, 0x25, 0, 0, 0, 0}));  // jmp [disp32]
  EXPECT_FALSE(AfterCall({0xE9, 0, 0, 0, 0}));        // jmp rel32
  EXPECT_FALSE(AfterCall({0x89, 0xE5}));              // mov ebp, esp
}

TEST(CallSite, UnreadableOrTinyAddressesFail) {
  TMemoryView memory;
  EXPECT_FALSE(IsAfterCallSite(memory, 7));
  EXPECT_FALSE(IsAfterCallSite(memory, 0x1008));  // the zero page is never mapped
}

// A small function in a buffer:
//   00 push ebp / 01 call +0 (to 06) / 06 test eax,eax / 08 jz 0C / 0A call eax / 0C pop ebp /
//   0D ret / 0E: unreachable call rel32
TEST(FunctionAnalyser, FollowsBranchesAndListsCalls) {
  std::vector<std::uint8_t> code = {0x55, 0xE8, 0x00, 0x00, 0x00, 0x00, 0x85, 0xC0, 0x74, 0x02,
                                    0xFF, 0xD0, 0x5D, 0xC3, 0xE8, 0x00, 0x00, 0x00, 0x00, 0xC3};
  code.resize(64, 0xCC);
  const Address base = reinterpret_cast<std::uintptr_t>(code.data());
  TMemoryView memory;
  const auto info = ParseFunction(memory, base, {});
  ASSERT_TRUE(info.IsValid);
  ASSERT_EQ(info.CodeAreas.size(), 1u);
  EXPECT_EQ(info.CodeAreas[0].Begin, base);
  EXPECT_EQ(info.CodeAreas[0].End, base + 0x0E);  // the call behind the ret is not reached
  ASSERT_EQ(info.Calls.size(), 2u);
  EXPECT_EQ(info.CallEndingAt(base + 6)->Target, base + 6);
  EXPECT_FALSE(info.CallEndingAt(base + 0x0C)->HasTarget);
  EXPECT_FALSE(info.CallEndingAt(base + 0x0D).has_value());
  ASSERT_EQ(info.UnknownTargets.size(), 1u);
  EXPECT_TRUE(info.UnknownTargets[0].Call);
  EXPECT_TRUE(info.IsInstructionBoundary(base + 0x0A));
  EXPECT_FALSE(info.IsInstructionBoundary(base + 0x0B));

  // With known bounds every byte of the range is decoded, reached or not.
  const auto swept = ParseFunction(memory, base, {base, base + 0x14});
  EXPECT_EQ(swept.Calls.size(), 3u);
  EXPECT_TRUE(swept.Contains(base + 0x10));
}

TEST(FunctionAnalyser, InvalidEntryGivesNoFunction) {
  TMemoryView memory;
  EXPECT_FALSE(ParseFunction(memory, 0x1000, {}).IsValid);
}

}  // namespace
}  // namespace Reporter::Tracer
