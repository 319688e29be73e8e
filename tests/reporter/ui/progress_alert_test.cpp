// The progress box object without its window: what the report builder and the tracer see on
// every platform.
#include <gtest/gtest.h>

#include "platform/resources.h"
#include "reporter/ui/progress_alert.h"

namespace {

using namespace Reporter::UI;

constexpr bool kHasWindows = UPDATE_TARGET_WINDOWS != 0;

TEST(ProgressBox, KeepsItsAreasAndPositionsWithoutAWindow) {
  TIProgressAlert box("Information", Platform::MainModule(), "");
  box.AddArea("Bitte warten...", 3000);
  box.AddArea("", 1000);
  box.AddArea("Senden", 6000);
  box.SetPosition(500);
  EXPECT_EQ(box.GetPosition(), 500);
  EXPECT_EQ(box.OverallPosition(), 150);
  box.AreaDone();
  EXPECT_EQ(box.GetCurrentArea(), 1);
  EXPECT_EQ(box.GetPosition(), 0);
  EXPECT_EQ(box.CurrentText(), "Bitte warten...");
  EXPECT_EQ(box.OverallPosition(), 300);
  box.AreaDone();
  box.AreaDone();
  EXPECT_EQ(box.GetCurrentArea(), 2) << "done with the last area keeps it, finished";
  EXPECT_EQ(box.GetPosition(), 1000);
  EXPECT_EQ(box.OverallPosition(), 1000);
  box.AreaDone();
  EXPECT_EQ(box.GetCurrentArea(), 2);
  EXPECT_FALSE(box.Window().Exists());

  box.ClearAreas();
  EXPECT_TRUE(box.Areas().empty());
  EXPECT_EQ(box.GetCurrentArea(), 0);
}

TEST(ProgressBox, TitleCanBeChangedBeforeAndWithoutAWindow) {
  const auto box = CreateProgressAlert("Information", Platform::MainModule(), "");
  EXPECT_EQ(box->GetTitle(), "Information");
  box->SetTitle("Senden");
  EXPECT_EQ(box->GetTitle(), "Senden");
  box->ProcessMessages();  // nothing to do, nothing breaks
  box->Close();
}

TEST(ProgressBoxWithoutWindow, ShowOnlyPreparesTheBox) {
  if (kHasWindows) GTEST_SKIP() << "this platform shows the window (see ProgressBoxWindow)";
  TIProgressAlert box("Information", Platform::MainModule(), "PLWAIT");
  EXPECT_FALSE(box.Show(0, false));
  EXPECT_FALSE(box.Window().Exists());
  ASSERT_EQ(box.Areas().size(), 1u);
  EXPECT_EQ(box.Areas()[0].Text, kDefaultAreaText);
  EXPECT_EQ(box.Areas()[0].Weight, 1000u);
  EXPECT_FALSE(box.Layout().HasPicture);
  EXPECT_GT(box.Layout().Window.Width, 220);
  // A second Show adds no second default area.
  EXPECT_FALSE(box.Show(0, true));
  EXPECT_EQ(box.Areas().size(), 1u);
  box.SetPosition(700);
  EXPECT_EQ(box.OverallPosition(), 700);
  EXPECT_EQ(box.Window().Bar(), -1);
}

}  // namespace
