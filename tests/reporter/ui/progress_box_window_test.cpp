// The real progress box window (a display test: it runs where windows exist, on a private X
// display under Wine). The screenshot is taken from the window itself and kept as a .bmp.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "platform/resources.h"
#include "reporter/ui/progress_alert.h"
#include "support/scoped_temp_dir.h"

namespace {

using namespace Reporter::UI;
using Platform::TWindowPixels;

void SaveBitmap(const std::string& path, const TWindowPixels& picture) {
  std::vector<std::uint8_t> file(54, 0);
  auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = std::uint8_t(value >> (8 * i));
  };
  const std::uint32_t pixelBytes = std::uint32_t(picture.Pixels.size() * 4);
  file[0] = 'B';
  file[1] = 'M';
  put32(2, 54 + pixelBytes);
  put32(10, 54);
  put32(14, 40);
  put32(18, std::uint32_t(picture.Width));
  put32(22, std::uint32_t(-picture.Height));  // top row first
  file[26] = 1;
  file[28] = 32;
  put32(34, pixelBytes);
  for (const std::uint32_t pixel : picture.Pixels) {
    for (int i = 0; i < 4; ++i) file.push_back(std::uint8_t(pixel >> (8 * i)));
  }
  std::ofstream out(TestSupport::FsPath(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  ASSERT_TRUE(out.good()) << path;
}

// Lets the window's thread paint what is pending.
void Settle(IProgressAlert& box) {
  for (int i = 0; i < 20; ++i) {
    box.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

int CountPixels(const TWindowPixels& picture, const Platform::TBoxRect& rect, std::uint32_t colour,
                bool equal) {
  int count = 0;
  for (int y = rect.Top; y < rect.Top + rect.Height && y < picture.Height; ++y) {
    for (int x = rect.Left; x < rect.Left + rect.Width && x < picture.Width; ++x) {
      if ((picture.At(x, y) == colour) == equal) ++count;
    }
  }
  return count;
}

TEST(ProgressBoxWindow, ScreenshotShowsTheBarFilledToItsPositionAndTheText) {
  TIProgressAlert box("Information", Platform::MainModule(), "");
  ASSERT_TRUE(box.Show(0, false));
  EXPECT_FALSE(box.Show(0, false)) << "a second Show changes nothing";
  EXPECT_EQ(box.CurrentText(), std::string(kDefaultAreaText));
  box.SetPosition(500);
  Settle(box);
  EXPECT_EQ(box.Window().Bar(), 500);

  const auto shot = box.Window().CaptureClient();
  ASSERT_TRUE(shot);
  TestSupport::ScopedTempDir folder;
  SaveBitmap(folder.Join("progress_box.bmp"), *shot);
  const Platform::TProgressBoxLayout layout = box.Layout();
  EXPECT_EQ(shot->Width, layout.Bar.Width + 22);
  const std::uint32_t fill = box.Window().BarColour();
  const std::uint32_t background = box.Window().BackgroundColour();
  const Platform::TBoxRect& bar = layout.Bar;
  const Platform::TBoxRect filled{bar.Left + 4, bar.Top + 4, bar.Width / 2 - 12, bar.Height - 8};
  const Platform::TBoxRect empty{bar.Left + bar.Width / 2 + 8, bar.Top + 4, bar.Width / 2 - 12,
                                 bar.Height - 8};
  const int filledArea = filled.Width * filled.Height;
  EXPECT_GT(CountPixels(*shot, filled, fill, true), filledArea * 3 / 4)
      << "the left half of the bar has the bar's colour";
  EXPECT_EQ(CountPixels(*shot, empty, fill, true), 0) << "the right half does not";
  EXPECT_GT(CountPixels(*shot, layout.Label, background, false), 20) << "the text draws something";
  EXPECT_EQ(CountPixels(*shot, {0, 0, shot->Width, 8}, background, false), 0)
      << "above the text lies the plain background";
  box.Close();
  EXPECT_FALSE(box.Window().Exists());
}

TEST(ProgressBoxWindow, PictureIsDrawnBesideTheTextAndAWrongSizeLeavesOnlyItsPlace) {
  TIProgressAlert box("Information", Platform::MainModule(), "PLWAIT");
  box.AddArea("Bitte warten...", 1000);
  ASSERT_TRUE(box.Show(0, false));
  Settle(box);
  ASSERT_TRUE(box.Layout().HasPicture);
  const auto shot = box.Window().CaptureClient();
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->At(9 + 16, 9 + 4), 0xFF0000u) << "top half red";
  EXPECT_EQ(shot->At(9 + 16, 9 + 28), 0x00FF00u) << "bottom half green";

  TIProgressAlert wrong("Information", Platform::MainModule(), "PLWAITLONG");
  wrong.AddArea("Bitte warten...", 1000);
  ASSERT_TRUE(wrong.Show(0, false));
  Settle(wrong);
  EXPECT_TRUE(wrong.Layout().HasPicture);
  EXPECT_EQ(wrong.Layout().Label.Left, 51) << "the text keeps the picture's offset";
  const auto wrongShot = wrong.Window().CaptureClient();
  ASSERT_TRUE(wrongShot);
  EXPECT_EQ(CountPixels(*wrongShot, {9, 9, 32, 32}, wrong.Window().BackgroundColour(), false), 0)
      << "nothing drawn in the picture's place";
}

TEST(ProgressBoxWindow, EightQuietBoxesStackUpwardsAndANinthLiesOverTheFirst) {
  std::vector<std::unique_ptr<TIProgressAlert>> boxes;
  for (int i = 0; i < 9; ++i) {
    boxes.push_back(std::make_unique<TIProgressAlert>("Information", Platform::MainModule(), ""));
    ASSERT_TRUE(boxes.back()->Show(0, false)) << i;
  }
  const Platform::TBoxRect first = boxes[0]->Layout().Window;
  for (int i = 1; i < 8; ++i) {
    const Platform::TBoxRect window = boxes[std::size_t(i)]->Layout().Window;
    EXPECT_EQ(window.Left, first.Left);
    EXPECT_EQ(window.Top, first.Top - i * first.Height) << i;
  }
  EXPECT_EQ(boxes[8]->Layout().Window.Top, first.Top);
  // A freed slot is taken again by the next box.
  boxes[3].reset();
  TIProgressAlert next("Information", Platform::MainModule(), "");
  ASSERT_TRUE(next.Show(0, false));
  EXPECT_EQ(next.Layout().Window.Top, first.Top - 3 * first.Height);
}

TEST(ProgressBoxWindow, TheCaptionsCloseButtonDoesNothing) {
  TIProgressAlert box("Information", Platform::MainModule(), "");
  ASSERT_TRUE(box.Show(0, true));
  box.Window().PressCloseButton();
  Settle(box);
  EXPECT_TRUE(box.Window().Exists());
  box.Close();
  EXPECT_FALSE(box.Window().Exists());
  EXPECT_TRUE(box.Show(0, true)) << "a closed box can be shown again";
}

TEST(ProgressBoxWindow, OtherThreadsPostPositionsTextsAndTheClose) {
  TIProgressAlert box("Information", Platform::MainModule(), "");
  box.AddArea("Eins", 1000);
  box.AddArea("Zwei", 3000);
  ASSERT_TRUE(box.Show(0, false));
  std::thread([&] {
    box.AreaDone();
    box.SetPosition(500);
    box.SetTitle("Senden");
  }).join();
  Settle(box);
  EXPECT_EQ(box.Window().Bar(), 250 + 375);

  std::thread closer([&] { box.Close(); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (box.Window().Exists() && std::chrono::steady_clock::now() < deadline) Settle(box);
  closer.join();
  EXPECT_FALSE(box.Window().Exists());
}

}  // namespace
