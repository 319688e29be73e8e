#include "platform/loader_lock.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(LoaderLock, NotHeldOnOrdinaryThreads) {
  EXPECT_FALSE(Platform::LoaderLockHeld());
  EXPECT_FALSE(Platform::LoaderLockHeld(0));
  bool heldOnOtherThread = true;
  std::thread([&] { heldOnOtherThread = Platform::LoaderLockHeld(); }).join();
  EXPECT_FALSE(heldOnOtherThread);
}

}  // namespace
