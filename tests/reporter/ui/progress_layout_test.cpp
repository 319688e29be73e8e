// The box's layout from made-up measures, the same on every platform.
#include <gtest/gtest.h>

#include "reporter/ui/progress_layout.h"

namespace {

using namespace Reporter::UI;
using Platform::TBoxRect;

Platform::TProgressBoxMetrics Classic() {
  Platform::TProgressBoxMetrics metrics;
  metrics.FrameWidth = 3;
  metrics.FrameHeight = 4;
  metrics.SmallCaptionHeight = 17;
  metrics.ScrollBarWidth = 16;
  metrics.Screen = {0, 0, 1280, 1024};
  metrics.WorkArea = {0, 0, 1280, 984};
  return metrics;
}

void ExpectRect(const TBoxRect& rect, int left, int top, int width, int height) {
  EXPECT_EQ(rect.Left, left);
  EXPECT_EQ(rect.Top, top);
  EXPECT_EQ(rect.Width, width);
  EXPECT_EQ(rect.Height, height);
}

TEST(ProgressLayout, ShortTextWithoutPictureGetsTheMinimumWidth) {
  const auto layout = LayoutProgressBox({80, 13}, false, Classic());
  EXPECT_FALSE(layout.HasPicture);
  ExpectRect(layout.Label, 11, 12, 220, 13);
  ExpectRect(layout.Bar, 11, 13 + 24, 220, 16);
  EXPECT_EQ(layout.Window.Width, 242 + 2 * 3);
  EXPECT_EQ(layout.Window.Height, 13 + 17 + 16 + 2 * 4 + 36);
}

TEST(ProgressLayout, WideTextWidensTheBoxAndTheBar) {
  const auto layout = LayoutProgressBox({400, 39}, false, Classic());
  ExpectRect(layout.Label, 11, 12, 400, 39);
  ExpectRect(layout.Bar, 11, 39 + 24, 400, 16);
  EXPECT_EQ(layout.Window.Width, 422 + 6);
}

TEST(ProgressLayout, APictureMovesTheTextRightAndCentresAShortTextBesideIt) {
  const auto layout = LayoutProgressBox({100, 13}, true, Classic());
  EXPECT_TRUE(layout.HasPicture);
  ExpectRect(layout.Picture, 9, 9, 32, 32);
  // The text box is 26 high, the 13-pixel text moved down by half the difference.
  ExpectRect(layout.Label, 51, 12 + 6, 220 - 40, 13);
  ExpectRect(layout.Bar, 11, 26 + 24, 220, 16);
  EXPECT_EQ(layout.Window.Height, 26 + 17 + 16 + 8 + 36);
}

TEST(ProgressLayout, APictureAddsItsWidthToAWideText) {
  const auto layout = LayoutProgressBox({300, 52}, true, Classic());
  ExpectRect(layout.Label, 51, 12, 300, 52);
  ExpectRect(layout.Bar, 11, 52 + 24, 340, 16);
  EXPECT_EQ(layout.Window.Width, 362 + 6);
}

TEST(ProgressLayout, NoTextAtAllStillGivesAUsableBox) {
  const auto layout = LayoutProgressBox({0, 0}, false, Classic());
  ExpectRect(layout.Bar, 11, 24, 220, 16);
  const auto negative = LayoutProgressBox({-5, -5}, false, Classic());
  ExpectRect(negative.Bar, 11, 24, 220, 16);
}

TEST(ProgressLayout, AnActivatedBoxIsCentredOnTheScreen) {
  auto layout = LayoutProgressBox({80, 13}, false, Classic());
  PlaceProgressBox(layout, true, 5, Classic());
  EXPECT_EQ(layout.Window.Left, (1280 - 248) / 2);
  EXPECT_EQ(layout.Window.Top, (1024 - layout.Window.Height) / 2);
}

TEST(ProgressLayout, QuietBoxesStackUpFromTheWorkAreasCorner) {
  auto metrics = Classic();
  metrics.WorkArea = {100, 50, 1180, 934};  // a task bar left and above
  const auto base = LayoutProgressBox({80, 13}, false, metrics);
  const int height = base.Window.Height;
  for (int slot = 0; slot < kScreenSlots; ++slot) {
    auto layout = base;
    PlaceProgressBox(layout, false, slot, metrics);
    EXPECT_EQ(layout.Window.Left, 100 + 1180 - 2 - 248) << slot;
    EXPECT_EQ(layout.Window.Top, 50 + 934 - 2 - height * (slot + 1)) << slot;
  }
  auto outside = base;
  PlaceProgressBox(outside, false, 99, metrics);
  auto last = base;
  PlaceProgressBox(last, false, kScreenSlots - 1, metrics);
  EXPECT_EQ(outside.Window.Top, last.Window.Top);
}

}  // namespace
