#include "reporter/ui/progress_alert.h"

#include <algorithm>

#include "reporter/ui/progress_layout.h"
#include "reporter/ui/progress_picture.h"

namespace Reporter::UI {

TIProgressAlert::TIProgressAlert(std::string_view title, Platform::ModuleHandle pictureModule,
                                 std::string_view pictureName)
    : title_(title), pictureModule_(pictureModule), pictureName_(pictureName) {}

TIProgressAlert::~TIProgressAlert() {
  window_.Close();
}

std::string TIProgressAlert::GetTitle() {
  std::lock_guard<std::mutex> lock(lock_);
  return title_;
}

void TIProgressAlert::SetTitle(std::string_view title) {
  {
    std::lock_guard<std::mutex> lock(lock_);
    if (title_ == title) return;
    title_ = title;
  }
  window_.SetTitle(std::string(title));
}

int TIProgressAlert::GetPosition() {
  std::lock_guard<std::mutex> lock(lock_);
  return areas_.Position();
}

void TIProgressAlert::SetPosition(int position) {
  int overall = 0;
  {
    std::lock_guard<std::mutex> lock(lock_);
    areas_.SetPosition(position);
    overall = areas_.Overall();
  }
  window_.SetBar(overall);
}

void TIProgressAlert::AddArea(std::string_view text, std::uint64_t weight) {
  std::lock_guard<std::mutex> lock(lock_);
  areas_.Add(text, weight);
}

void TIProgressAlert::ClearAreas() {
  std::lock_guard<std::mutex> lock(lock_);
  areas_.Clear();
}

void TIProgressAlert::AreaDone() {
  int next = 0;
  {
    std::lock_guard<std::mutex> lock(lock_);
    next = areas_.Current() + 1;
  }
  SetCurrentArea(next);
}

int TIProgressAlert::GetCurrentArea() {
  std::lock_guard<std::mutex> lock(lock_);
  return areas_.Current();
}

void TIProgressAlert::SetCurrentArea(int area) {
  std::string text;
  int overall = 0;
  {
    std::lock_guard<std::mutex> lock(lock_);
    if (!areas_.SetCurrent(area)) return;
    text = areas_.CurrentText();
    overall = areas_.Overall();
  }
  window_.SetText(text);
  window_.SetBar(overall);
}

void TIProgressAlert::ProcessMessages() {
  window_.ProcessMessages();
}

bool TIProgressAlert::Show(Platform::WindowHandle parent, bool activate) {
  if (window_.Exists()) return false;
  std::string title, text;
  Platform::TBoxSize textSize;
  int overall = 0;
  {
    std::lock_guard<std::mutex> lock(lock_);
    if (areas_.Areas().empty()) areas_.Add(kDefaultAreaText, 1000);
    // The box is made big enough for the texts still to come, so that it never resizes.
    const auto& areas = areas_.Areas();
    for (std::size_t i = std::size_t(std::max(areas_.Current(), 0)); i < areas.size(); ++i) {
      const Platform::TBoxSize size = window_.MeasureText(areas[i].Text, kTextWrapWidth);
      textSize.Width = std::max(textSize.Width, size.Width);
      textSize.Height = std::max(textSize.Height, size.Height);
    }
    title = title_;
    text = areas_.CurrentText();
    overall = areas_.Overall();
  }

  const auto resource = Platform::ProgressWindow::FindPicture(pictureModule_, pictureName_);
  Platform::TBoxPicture picture;
  if (resource) {
    picture = BlendPicture(*resource, window_.BackgroundColour()).value_or(Platform::TBoxPicture());
  }
  const Platform::TProgressBoxMetrics metrics = window_.Metrics();
  Platform::TProgressBoxLayout layout = LayoutProgressBox(textSize, resource.has_value(), metrics);
  PlaceProgressBox(layout, activate, activate ? 0 : window_.ClaimScreenSlot(), metrics);
  {
    std::lock_guard<std::mutex> lock(lock_);
    layout_ = layout;
  }
  return window_.Create(parent, title, text, layout, picture, overall, activate);
}

void TIProgressAlert::Close() {
  window_.Close();
}

std::vector<TProgressArea> TIProgressAlert::Areas() {
  std::lock_guard<std::mutex> lock(lock_);
  return areas_.Areas();
}

int TIProgressAlert::OverallPosition() {
  std::lock_guard<std::mutex> lock(lock_);
  return areas_.Overall();
}

std::string TIProgressAlert::CurrentText() {
  std::lock_guard<std::mutex> lock(lock_);
  return areas_.CurrentText();
}

Platform::TProgressBoxLayout TIProgressAlert::Layout() {
  std::lock_guard<std::mutex> lock(lock_);
  return layout_;
}

std::shared_ptr<IProgressAlert> CreateProgressAlert(std::string_view title,
                                                    Platform::ModuleHandle pictureModule,
                                                    std::string_view pictureName) {
  return std::make_shared<TIProgressAlert>(title, pictureModule, pictureName);
}

}  // namespace Reporter::UI
