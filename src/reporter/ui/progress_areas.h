#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The weighted areas of a progress indicator and the position inside the current one. Not
// locked: the progress box that owns it guards it.
namespace Reporter::UI {

struct TProgressArea {
  std::uint64_t Start = 0;  // the sum of the weights of all earlier areas
  std::uint64_t Weight = 0;
  std::string Text;
};

inline constexpr int kMaxPosition = 1000;

class TProgressAreas {
 public:
  // An empty text takes the previous area's text.
  void Add(std::string_view text, std::uint64_t weight);
  // No areas, current area 0, sum 0.
  void Clear();

  const std::vector<TProgressArea>& Areas() const { return areas_; }
  std::uint64_t WeightSum() const { return sum_; }
  int Current() const { return current_; }
  // Ignored (false) when n is the current area, negative or beyond the number of areas. n equal
  // to the number of areas makes the last one current with position 1000; any other n becomes
  // current with position 0. True when the current area or position changed.
  bool SetCurrent(int n);

  // The position inside the current area, kept within 0 to 1000.
  int Position() const { return position_; }
  void SetPosition(int position);
  // The position over all areas, 0 to 1000: the current area's start plus its done part,
  // relative to the sum of the weights; the position itself when the sum is 0.
  int Overall() const;

  // The current area's text; empty without areas.
  std::string CurrentText() const;

 private:
  std::vector<TProgressArea> areas_;
  std::uint64_t sum_ = 0;
  int current_ = 0;
  int position_ = 0;
};

}  // namespace Reporter::UI
