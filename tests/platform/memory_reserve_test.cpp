#include "platform/memory_reserve.h"

#include <gtest/gtest.h>

namespace {

constexpr std::size_t kMebibyte = 1024 * 1024;
// Four blocks of 4 MiB reserved, four of 512 KiB committed.
constexpr std::size_t kFullReserve = 4 * 4 * kMebibyte + 4 * kMebibyte / 2;

TEST(MemoryReserve, HoldsItsBlocksOnceUntilReleasedAndTakesThemAgain) {
  Platform::TMemoryReserve reserve;
  EXPECT_EQ(reserve.HeldBytes(), 0u);

  reserve.Reserve();
  EXPECT_EQ(reserve.HeldBytes(), kFullReserve);
  reserve.Reserve();
  EXPECT_EQ(reserve.HeldBytes(), kFullReserve);

  reserve.Release();
  EXPECT_EQ(reserve.HeldBytes(), 0u);
  reserve.Release();
  EXPECT_EQ(reserve.HeldBytes(), 0u);

  reserve.Reserve();
  EXPECT_EQ(reserve.HeldBytes(), kFullReserve);
}

}  // namespace
