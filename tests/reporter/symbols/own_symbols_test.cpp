// The symbol data the build appended to this test program and to Update.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "platform/process.h"
#include "reporter/report/symbols/map_file.h"
#include "support/helper_process.h"
#include "symbols_test_support.h"

namespace {

using namespace Reporter::Symbols;

TEST(OwnSymbolData, ResolvesTheMarkedFunctionAtRunTime) {
  const std::string path = Platform::ExecutablePath();
  const auto linkTime = TMapFile::ForImageFile(path, 0);
  ASSERT_NE(linkTime, nullptr);
  const auto linkAddress = linkTime->FindPublicAddress(SymbolsTest::kMarkedUnit, "MarkedFunction");
  ASSERT_TRUE(linkAddress);
  const std::uint64_t address = SymbolsTest::MarkedFunctionAddress();
  const std::uint64_t bias = address - *linkAddress;
  EXPECT_EQ(bias % 0x1000, 0u) << "a load bias moves whole pages";

  const auto map = TMapFile::ForImageFile(path, bias);
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->FindPublicAddress("symbolsprobe", "markedfunction"), address);
  const std::uint64_t call = SymbolsTest::CallMarkedFunction() - 1;
  const TMfPublic function = map->FindPublic(call);
  EXPECT_TRUE(function.IsValid);
  EXPECT_EQ(function.Name, SymbolsTest::kMarkedName);
  EXPECT_EQ(function.Address, address);
  const TMfSegment segment = map->FindSegment(true, call);
  EXPECT_TRUE(segment.IsValid);
  EXPECT_EQ(segment.UnitName, SymbolsTest::kMarkedUnit);
  EXPECT_EQ(segment.StartAddress, address);
  EXPECT_TRUE(segment.LineNumbers);
  EXPECT_EQ(map->FindLine(call), SymbolsTest::MarkedCallLine());
  // The entry belongs to the opening line or, when no code of its own is left there, the first
  // statement.
  EXPECT_GE(map->FindLine(address), SymbolsTest::MarkedFunctionLine());
  EXPECT_LE(map->FindLine(address), SymbolsTest::MarkedCallLine());
  // Code inlined from a header belongs to the line of its call.
  EXPECT_EQ(map->FindLine(SymbolsTest::CallInlinedCode() - 1), SymbolsTest::InlinedCallLine());
  EXPECT_EQ(map->MinDebugInfo().substr(0, 6), "sym2 $");
  EXPECT_GT(map->TopOfCode(), call);
}

TEST(UpdateSymbolData, LoadsQuicklyAndKnowsTheJob) {
  const std::string path = TestSupport::TestProgramPath("Update" + TestSupport::ExecutableSuffix());
  std::unique_ptr<TMapFile> map;
  for (const char* when : {"first", "second"}) {
    const auto start = std::chrono::steady_clock::now();
    map = TMapFile::ForImageFile(path, 0);
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("Update's symbol data loaded in %lld us (%s time)\n",
                static_cast<long long>(elapsed.count()), when);
    EXPECT_LT(elapsed, std::chrono::seconds(1));  // emulators included
  }
  ASSERT_NE(map, nullptr);
  const auto run = map->FindPublicAddress("Update.Work", "RunUpdate");
  ASSERT_TRUE(run);
  EXPECT_EQ(map->FindPublic(*run + 1).Name, "RunUpdate");
  EXPECT_EQ(map->FindPublic(*run + 1).Unit, "Update.Work");
  EXPECT_GT(map->FindLine(*run), 0);
}

}  // namespace
