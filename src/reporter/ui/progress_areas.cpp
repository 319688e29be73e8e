#include "reporter/ui/progress_areas.h"

#include <algorithm>
#include <limits>

namespace Reporter::UI {

void TProgressAreas::Add(std::string_view text, std::uint64_t weight) {
  TProgressArea area;
  area.Start = sum_;
  area.Weight = weight;
  area.Text = text.empty() && !areas_.empty() ? areas_.back().Text : std::string(text);
  // A sum beyond 64 bits would wrap; it stays at the largest value instead.
  sum_ = weight > std::numeric_limits<std::uint64_t>::max() - sum_
             ? std::numeric_limits<std::uint64_t>::max()
             : sum_ + weight;
  areas_.push_back(std::move(area));
}

void TProgressAreas::Clear() {
  areas_.clear();
  sum_ = 0;
  current_ = 0;
  position_ = 0;
}

bool TProgressAreas::SetCurrent(int n) {
  const int count = int(areas_.size());
  if (n == current_ || n < 0 || n > count) return false;
  if (n == count) {
    current_ = count - 1;
    position_ = kMaxPosition;
  } else {
    current_ = n;
    position_ = 0;
  }
  return true;
}

void TProgressAreas::SetPosition(int position) {
  position_ = std::clamp(position, 0, kMaxPosition);
}

int TProgressAreas::Overall() const {
  if (sum_ == 0 || areas_.empty()) return position_;
  const TProgressArea& area = areas_[std::size_t(std::max(current_, 0))];
  // Sums too large for the products below are scaled down first; the ratio stays the same.
  std::uint64_t start = area.Start, weight = area.Weight, sum = sum_;
  constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max() / kMaxPosition / 2;
  while (sum > kLimit) {
    start >>= 1;
    weight >>= 1;
    sum >>= 1;
  }
  const std::uint64_t done = start + weight * std::uint64_t(position_) / kMaxPosition;
  return int(std::min<std::uint64_t>(done * kMaxPosition / sum, kMaxPosition));
}

std::string TProgressAreas::CurrentText() const {
  if (areas_.empty()) return {};
  return areas_[std::size_t(std::max(current_, 0))].Text;
}

}  // namespace Reporter::UI
