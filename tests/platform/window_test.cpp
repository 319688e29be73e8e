#include "platform/window.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/helper_process.h"

namespace {

bool Exists(const std::string* windowClass, const std::string* caption) {
  return Platform::TopLevelWindowExists(windowClass, caption);
}

// Names no other window on the display has.
std::string Unique(const std::string& stem) {
  return stem + std::to_string(std::random_device()() % 1000000);
}

TEST(TopLevelWindow, IsFoundByClassAndCaptionOnlyWhileShown) {
  const std::string windowClass = Unique("UpdateTestClass");
  const std::string caption = Unique("Aktualisierung läuft ");
  const std::string otherClass = windowClass + "x";
  const std::string otherCaption = caption + "x";
  {
    Platform::TopLevelWindow window(windowClass, caption);
    if (!window.IsShown()) GTEST_SKIP() << "no display to show windows on";
    EXPECT_TRUE(Exists(&windowClass, &caption));
    EXPECT_TRUE(Exists(&windowClass, nullptr));
    EXPECT_TRUE(Exists(nullptr, &caption));
    EXPECT_TRUE(Exists(nullptr, nullptr));
    EXPECT_FALSE(Exists(&otherClass, &caption));
    EXPECT_FALSE(Exists(&windowClass, &otherCaption));
  }
  EXPECT_FALSE(Exists(&windowClass, nullptr));
  EXPECT_FALSE(Exists(nullptr, &caption));
}

TEST(TopLevelWindow, WindowOfAnotherProcessIsFound) {
  const std::string windowClass = Unique("UpdateTestHolder");
  const std::string caption = Unique("Quill – Hauptfenster ");
  TestSupport::HelperProcess holder("WindowHolder", {windowClass, caption});
  if (holder.ReadyText() == "no-display") GTEST_SKIP() << "no display to show windows on";
  ASSERT_EQ(holder.ReadyText(), "shown");
  EXPECT_TRUE(Exists(&windowClass, &caption));
  holder.Release();
  EXPECT_FALSE(Exists(&windowClass, &caption));
}

}  // namespace
