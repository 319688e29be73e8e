// The areas' arithmetic: the bar's overall position, the current area and its text.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "reporter/ui/progress_areas.h"

namespace {

using Reporter::UI::TProgressAreas;

TProgressAreas Areas(std::initializer_list<std::pair<const char*, std::uint64_t>> areas) {
  TProgressAreas result;
  for (const auto& [text, weight] : areas) result.Add(text, weight);
  return result;
}

TEST(ProgressAreas, StartsAreTheSumsOfEarlierWeightsAndEmptyTextsRepeatTheLastOne) {
  TProgressAreas areas = Areas({{"Thread 1", 100}, {"", 300}, {"Thread 3", 600}});
  ASSERT_EQ(areas.Areas().size(), 3u);
  EXPECT_EQ(areas.Areas()[1].Start, 100u);
  EXPECT_EQ(areas.Areas()[2].Start, 400u);
  EXPECT_EQ(areas.Areas()[1].Text, "Thread 1");
  EXPECT_EQ(areas.WeightSum(), 1000u);

  EXPECT_EQ(Areas({{"", 5}}).CurrentText(), "");
}

TEST(ProgressAreas, OverallPositionWeighsTheCurrentAreaWithinAllOfThem) {
  TProgressAreas areas = Areas({{"a", 100}, {"b", 300}, {"c", 600}});
  areas.SetPosition(500);
  EXPECT_EQ(areas.Overall(), 50);
  ASSERT_TRUE(areas.SetCurrent(1));
  EXPECT_EQ(areas.Position(), 0);
  EXPECT_EQ(areas.Overall(), 100);
  areas.SetPosition(500);
  EXPECT_EQ(areas.Overall(), 250);
  ASSERT_TRUE(areas.SetCurrent(2));
  areas.SetPosition(999);
  EXPECT_EQ(areas.Overall(), 999) << "rounded down, never past the end";
  areas.SetPosition(1000);
  EXPECT_EQ(areas.Overall(), 1000);
}

TEST(ProgressAreas, WithoutWeightsThePositionItselfIsShown) {
  TProgressAreas areas;
  areas.SetPosition(321);
  EXPECT_EQ(areas.Overall(), 321);
  areas.Add("zero", 0);
  areas.Add("", 0);
  areas.SetPosition(654);
  EXPECT_EQ(areas.Overall(), 654);
}

TEST(ProgressAreas, PositionsOutsideTheRangeAreKeptAtItsEdges) {
  TProgressAreas areas = Areas({{"a", 10}});
  areas.SetPosition(-5);
  EXPECT_EQ(areas.Position(), 0);
  areas.SetPosition(5000);
  EXPECT_EQ(areas.Position(), 1000);
  EXPECT_EQ(areas.Overall(), 1000);
}

TEST(ProgressAreas, SetCurrentIgnoresTheSameNegativeAndTooLargeAreas) {
  TProgressAreas areas = Areas({{"a", 1}, {"b", 1}});
  areas.SetPosition(400);
  EXPECT_FALSE(areas.SetCurrent(0));
  EXPECT_FALSE(areas.SetCurrent(-1));
  EXPECT_FALSE(areas.SetCurrent(3));
  EXPECT_EQ(areas.Current(), 0);
  EXPECT_EQ(areas.Position(), 400) << "an ignored call leaves the position";

  // One past the last area finishes the last one.
  EXPECT_TRUE(areas.SetCurrent(2));
  EXPECT_EQ(areas.Current(), 1);
  EXPECT_EQ(areas.Position(), 1000);
  EXPECT_EQ(areas.CurrentText(), "b");
  EXPECT_EQ(areas.Overall(), 1000);
  // Going back starts that area again.
  EXPECT_TRUE(areas.SetCurrent(0));
  EXPECT_EQ(areas.Position(), 0);
}

TEST(ProgressAreas, SetCurrentWithoutAreasChangesNothing) {
  TProgressAreas areas;
  EXPECT_FALSE(areas.SetCurrent(0));
  EXPECT_FALSE(areas.SetCurrent(1));
  EXPECT_EQ(areas.Current(), 0);
  EXPECT_EQ(areas.CurrentText(), "");
}

TEST(ProgressAreas, ClearForgetsAreasSumAndCurrentArea) {
  TProgressAreas areas = Areas({{"a", 7}, {"b", 7}});
  areas.SetCurrent(1);
  areas.Clear();
  EXPECT_TRUE(areas.Areas().empty());
  EXPECT_EQ(areas.WeightSum(), 0u);
  EXPECT_EQ(areas.Current(), 0);
  areas.Add("c", 3);
  EXPECT_EQ(areas.Areas()[0].Start, 0u);
}

// Stack ranges times 100 are the weights: big, but the bar must neither wrap nor go back.
TEST(ProgressAreas, HugeWeightsNeitherWrapNorRunBackwards) {
  constexpr std::uint64_t kHuge = std::numeric_limits<std::uint64_t>::max() / 3;
  // The sum stops at the largest value.
  TProgressAreas areas = Areas({{"a", kHuge}, {"b", kHuge}, {"c", kHuge}, {"d", kHuge}});
  EXPECT_EQ(areas.WeightSum(), std::numeric_limits<std::uint64_t>::max());
  int previous = -1;
  for (int area = 0; area < 4; ++area) {
    areas.SetCurrent(area);
    for (int position = 0; position <= 1000; position += 250) {
      areas.SetPosition(position);
      const int overall = areas.Overall();
      EXPECT_GE(overall, previous) << area << "/" << position;
      EXPECT_LE(overall, 1000);
      previous = overall;
    }
  }
  areas.SetCurrent(1);
  areas.SetPosition(0);
  EXPECT_NEAR(areas.Overall(), 333, 1);
}

}  // namespace
