#include "reporter/ui/progress_layout.h"

#include <algorithm>

namespace Reporter::UI {
namespace {

constexpr int kMargin = 11;         // left and right of the text and the bar
constexpr int kTop = 12;            // above the text
constexpr int kPictureOffset = 40;  // the picture and its gap, left of the text
constexpr int kMinTextWidth = 220;
constexpr int kPictureHeight = 26;  // a text beside the picture is at least this high

}  // namespace

Platform::TProgressBoxLayout LayoutProgressBox(Platform::TBoxSize textSize, bool hasPicture,
                                               const Platform::TProgressBoxMetrics& metrics) {
  Platform::TProgressBoxLayout layout;
  layout.HasPicture = hasPicture;
  // The text box holds the picture's offset too; the label is the part right of it.
  int boxWidth = std::max(textSize.Width, 0) + (hasPicture ? kPictureOffset : 0);
  boxWidth = std::max(boxWidth, kMinTextWidth);
  int boxHeight = std::max(textSize.Height, 0);
  int labelTop = kTop;
  if (hasPicture) {
    layout.Picture = {9, 9, Platform::kBoxPictureSize, Platform::kBoxPictureSize};
    if (boxHeight < kPictureHeight) {
      labelTop += (kPictureHeight - boxHeight) / 2;
      boxHeight = kPictureHeight;
    }
  }
  const int labelLeft = kMargin + (hasPicture ? kPictureOffset : 0);
  const int clientWidth = boxWidth + 2 * kMargin;
  layout.Label = {labelLeft, labelTop, clientWidth - kMargin - labelLeft,
                  std::max(textSize.Height, 0)};
  layout.Bar = {kMargin, boxHeight + 24, clientWidth - 2 * kMargin, metrics.ScrollBarWidth};
  layout.Window.Width = clientWidth + 2 * metrics.FrameWidth;
  layout.Window.Height = boxHeight + metrics.SmallCaptionHeight + metrics.ScrollBarWidth +
                         2 * metrics.FrameHeight + 36;
  return layout;
}

void PlaceProgressBox(Platform::TProgressBoxLayout& layout, bool activate, int screenSlot,
                      const Platform::TProgressBoxMetrics& metrics) {
  Platform::TBoxRect& window = layout.Window;
  if (activate) {
    window.Left = metrics.Screen.Left + (metrics.Screen.Width - window.Width) / 2;
    window.Top = metrics.Screen.Top + (metrics.Screen.Height - window.Height) / 2;
    return;
  }
  const int slot = std::clamp(screenSlot, 0, kScreenSlots - 1);
  window.Left = metrics.WorkArea.Left + metrics.WorkArea.Width - 2 - window.Width;
  window.Top = metrics.WorkArea.Top + metrics.WorkArea.Height - 2 - window.Height * (slot + 1);
}

}  // namespace Reporter::UI
