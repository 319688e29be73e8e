#include "reporter/delivery/progress_alert.h"

#include <algorithm>

namespace Reporter::Delivery {

void TSilentProgress::AddArea(std::int64_t weight, std::string_view text) {
  areas_.push_back({weight, std::string(text)});
}

void TSilentProgress::ClearAreas() {
  areas_.clear();
  current_ = 0;
  position_ = 0;
}

void TSilentProgress::AreaDone() {
  if (current_ < static_cast<int>(areas_.size())) ++current_;
  position_ = 0;
}

void TSilentProgress::SetCurrentArea(int area) {
  current_ = std::clamp(area, 0, static_cast<int>(areas_.size()));
}

void TSilentProgress::SetPosition(int position) {
  position_ = std::clamp(position, 0, 1000);
}

}  // namespace Reporter::Delivery
