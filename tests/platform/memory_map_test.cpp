#include "platform/memory_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/process.h"

namespace {

using Platform::QueryMemoryRegion;
using Platform::ReadMemory;
using Platform::TMemoryAccess;
using Platform::TMemoryRegion;

[[gnu::noinline]] int CodeOfThisProgram(int value) {
  return value * 3 + 1;
}

std::uintptr_t AddressOf(const void* pointer) {
  return reinterpret_cast<std::uintptr_t>(pointer);
}

std::uintptr_t CodeAddress() {
  return reinterpret_cast<std::uintptr_t>(&CodeOfThisProgram);
}

bool SameFile(const std::string& a, const std::string& b) {
  const auto path = [](const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
  };
  std::error_code error;
  return !a.empty() && std::filesystem::equivalent(path(a), path(b), error);
}

bool Contains(const TMemoryRegion& region, std::uintptr_t address) {
  return region.Begin <= address && address < region.End;
}

// An address far below anything that is mapped by default.
constexpr std::uintptr_t kZeroPage = 16;

TEST(MemoryMap, RegionsAreSortedAndDoNotOverlap) {
  const std::vector<TMemoryRegion> regions = Platform::QueryMemoryMap();
  ASSERT_FALSE(regions.empty());
  for (std::size_t i = 0; i < regions.size(); ++i) {
    EXPECT_LT(regions[i].Begin, regions[i].End) << i;
    if (i > 0) {
      EXPECT_LE(regions[i - 1].End, regions[i].Begin) << i;
    }
  }
}

TEST(MemoryMap, HeapAndStackDataAreReadableAndNoImage) {
  const std::vector<char> heap(1 << 16);
  volatile int local = 0;
  const std::vector<TMemoryRegion> regions = Platform::QueryMemoryMap();
  for (const std::uintptr_t address :
       {AddressOf(heap.data()), AddressOf(&heap.back()), AddressOf(const_cast<int*>(&local))}) {
    const TMemoryRegion region = QueryMemoryRegion(address);
    EXPECT_TRUE(Contains(region, address));
    EXPECT_EQ(region.Access, TMemoryAccess::Readable);
    EXPECT_TRUE(region.Committed);
    EXPECT_FALSE(region.Guard);
    EXPECT_EQ(region.ImagePath, "");
    // The whole map tells the same.
    const auto listed = std::find_if(regions.begin(), regions.end(),
                                     [&](const auto& r) { return Contains(r, address); });
    ASSERT_NE(listed, regions.end());
    EXPECT_EQ(listed->Begin, region.Begin);
    EXPECT_EQ(listed->Access, TMemoryAccess::Readable);
  }
}

TEST(MemoryMap, CodeLiesInAnExecutableRegionOfTheProgramImage) {
  const TMemoryRegion region = QueryMemoryRegion(CodeAddress());
  EXPECT_TRUE(Contains(region, CodeAddress()));
  EXPECT_TRUE(region.Executable);
  EXPECT_NE(region.Access, TMemoryAccess::NotReadable);
  EXPECT_TRUE(SameFile(region.ImagePath, Platform::ExecutablePath())) << region.ImagePath;

  // The allocation base is the start of the same image.
  ASSERT_NE(region.AllocationBase, 0u);
  EXPECT_LE(region.AllocationBase, region.Begin);
  const TMemoryRegion first = QueryMemoryRegion(region.AllocationBase);
  EXPECT_EQ(first.Begin, region.AllocationBase);
  EXPECT_EQ(first.ImagePath, region.ImagePath);
  EXPECT_EQ(first.AllocationBase, region.AllocationBase);
}

TEST(MemoryMap, ZeroPageIsNotReadable) {
  const TMemoryRegion region = QueryMemoryRegion(kZeroPage);
  EXPECT_EQ(region.Access, TMemoryAccess::NotReadable);
  EXPECT_FALSE(region.Executable);
  EXPECT_EQ(region.ImagePath, "");
}

TEST(MemoryMap, ThreadStackHasAGuardBelowIt) {
  TMemoryRegion stack, below;
  std::thread([&] {
    volatile int local = 0;
    stack = QueryMemoryRegion(AddressOf(const_cast<int*>(&local)));
    below = QueryMemoryRegion(stack.Begin - 1);
  }).join();
  EXPECT_EQ(stack.Access, TMemoryAccess::Readable);
  EXPECT_TRUE(below.Guard);
  EXPECT_EQ(below.Access, TMemoryAccess::NotReadable);
}

TEST(ReadMemory, CopiesReadableBytes) {
  const std::string text = "bytes of a heap string that is long enough not to be inline";
  std::string copy(text.size(), '\0');
  ASSERT_TRUE(ReadMemory(AddressOf(text.data()), copy.data(), copy.size()));
  EXPECT_EQ(copy, text);
  EXPECT_TRUE(ReadMemory(kZeroPage, copy.data(), 0));

  // A large read spans many pages of one allocation.
  std::vector<unsigned char> big(300000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>(i * 7);
  std::vector<unsigned char> bigCopy(big.size());
  ASSERT_TRUE(ReadMemory(AddressOf(big.data()), bigCopy.data(), bigCopy.size()));
  EXPECT_EQ(bigCopy, big);
}

TEST(ReadMemory, FailsWithoutFaultOnUnmappedOrWrappingAddresses) {
  char buffer[16] = {};
  EXPECT_FALSE(ReadMemory(kZeroPage, buffer, sizeof buffer));
  EXPECT_FALSE(ReadMemory(0, buffer, 1));
  EXPECT_FALSE(ReadMemory(UINTPTR_MAX - 3, buffer, 8));
  EXPECT_FALSE(Platform::ReadExecuteOnlyMemory(kZeroPage, buffer, sizeof buffer));
}

TEST(ReadMemory, ReadUpToTheEndOfAMappingSucceedsButNotBeyond) {
  const std::vector<TMemoryRegion> regions = Platform::QueryMemoryMap();
  int checked = 0;
  for (std::size_t i = 0; i < regions.size() && checked < 5; ++i) {
    const TMemoryRegion& region = regions[i];
    const bool followedByReadable = i + 1 < regions.size() && regions[i + 1].Begin == region.End &&
                                    regions[i + 1].Access != TMemoryAccess::NotReadable;
    // Module images stay as they are; heaps grow under the test.
    if (region.Access != TMemoryAccess::Readable || region.ImagePath.empty() ||
        followedByReadable || region.End - region.Begin < 8) {
      continue;
    }
    char buffer[8];
    // Some readable-looking regions refuse every read (device memory): not of interest here.
    if (!ReadMemory(region.End - 8, buffer, 8)) continue;
    EXPECT_FALSE(ReadMemory(region.End - 4, buffer, 8)) << std::hex << region.End;
    EXPECT_FALSE(ReadMemory(region.End - 8, buffer, 9)) << std::hex << region.End;
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST(ReadMemory, ExecuteOnlyReaderCopiesCodeBytesToo) {
  unsigned char direct[16] = {}, viaProtection[16] = {};
  ASSERT_TRUE(ReadMemory(CodeAddress(), direct, sizeof direct));
  ASSERT_TRUE(Platform::ReadExecuteOnlyMemory(CodeAddress(), viaProtection, sizeof viaProtection));
  EXPECT_EQ(std::memcmp(direct, viaProtection, sizeof direct), 0);
  EXPECT_EQ(CodeOfThisProgram(2), 7);  // the code still runs after
}

TEST(ReadMemory, ReadsOfExecuteOnlyRegionsNeverFault) {
  // Rare in practice (the x86-64 Linux vsyscall page is one); whatever the result, no crash.
  for (const TMemoryRegion& region : Platform::QueryMemoryMap()) {
    if (region.Access != TMemoryAccess::ExecuteOnly) continue;
    char buffer[8];
    (void)Platform::ReadExecuteOnlyMemory(region.Begin, buffer, sizeof buffer);
    EXPECT_FALSE(Platform::ReadExecuteOnlyMemory(region.End - 4, buffer, sizeof buffer));
  }
}

}  // namespace
