// Stage "RealizeOptimalLinkChains": between two items that are certainly right (the anchors)
// the chain of links with the best quality is kept and every other item dropped.
#include <map>
#include <tuple>

#include "reporter/report/tracer/trace_state.h"

namespace Reporter::Tracer::Internal {
namespace {

constexpr std::uint64_t Bit(int n) {
  return std::uint64_t{1} << n;
}
constexpr std::uint64_t kStart = Bit(60);

// Qualities are 64-bit scores compared as signed numbers; sums wrap like the machine's.
bool Better(std::uint64_t a, std::uint64_t b) {
  return static_cast<std::int64_t>(a) > static_cast<std::int64_t>(b);
}

class TChains {
 public:
  explicit TChains(TTraceState& state) : state_(state) {}

  void Run() {
    auto& items = state_.Items;
    const int count = static_cast<int>(items.size());
    std::vector<int> anchors;
    int newest = -1;
    for (int i = 0; i < count; ++i) {
      if (items[static_cast<std::size_t>(i)].Invalid) continue;
      newest = i;
      if (items[static_cast<std::size_t>(i)].DontKill) anchors.push_back(i);
    }
    if (newest < 0) return;
    if (anchors.empty() || anchors.back() != newest) anchors.push_back(newest);

    const auto pairs = anchors.size();
    for (std::size_t k = pairs - 1; k >= 1 && !state_.Aborted(); --k) {
      Stretch(anchors[k - 1], anchors[k]);
      state_.Progress(650 + static_cast<int>(350 * (pairs - k) / pairs));
    }
    if (!state_.Aborted()) Stretch(-1, anchors.front());
  }

 private:
  TInternalStackItem& Item(int index) { return state_.Items[static_cast<std::size_t>(index)]; }

  // Keeps the best chain between the anchors older (-1: beyond the oldest item) and newer.
  void Stretch(int older, int newer) {
    if (newer - older < 2) return;
    memo_.clear();
    const std::uint64_t forward = older >= 0 ? Quality(older, newer, kNewer, true) : 0;
    const std::uint64_t backward =
        (forward & Bit(62)) == 0 ? Quality(newer, older, kOlder, true) : 0;
    for (int i = older + 1; i < newer; ++i) Item(i).Invalid = true;
    if (Better(forward, backward)) {
      Follow(older, newer, kNewer);
    } else {
      Follow(newer, older, kOlder);
    }
  }

  // Walks the chosen links from one anchor towards the other; the items met are valid.
  void Follow(int from, int to, TDirection direction) {
    int at = from;
    for (;;) {
      const auto& list = Item(at).Links[direction];
      if (list.Chosen < 0) return;
      const int next = list.Items[static_cast<std::size_t>(list.Chosen)].Link;
      if (next < 0 || next == to) return;
      if (direction == kNewer ? (next <= at || next >= to) : (next >= at || next <= to)) return;
      Item(next).Invalid = false;
      at = next;
    }
  }

  bool Between(int from, int other, int to, TDirection direction) const {
    if (direction == kNewer) return other > from && (to < 0 || other <= to);
    return other < from && (to < 0 || other >= to);
  }

  int LineBefore(int index) {
    const auto& item = Item(index);
    if (item.Module < 0) return 0;
    const auto& module = state_.Modules[item.Module];
    return module.MapFile ? module.MapFile->FindLine(item.AfterInstr - 1) : 0;
  }

  // The quality of the best chain of links from item `from` to item `to` (-1: to the end of
  // the stack) in the direction; chooses the link that begins it.
  std::uint64_t Quality(int from, int to, TDirection direction, bool functionCondition) {
    const auto key = std::make_tuple(from, direction, functionCondition);
    if (auto it = memo_.find(key); it != memo_.end()) return it->second;
    if (state_.Aborted()) return kStart;

    std::uint64_t best = kStart;
    int chosen = -1;
    auto& list = Item(from).Links[direction];
    for (std::size_t k = 0; k < list.Items.size(); ++k) {
      const auto link = list.Items[k];
      const int other = link.Link;
      if (other < 0 || Item(other).Invalid || !Between(from, other, to, direction)) continue;
      const bool throughFunction = link.Func >= 0;
      std::uint64_t quality;
      if (other == to) {
        quality = throughFunction ? 7 * kStart : 5 * kStart;
      } else {
        quality = Quality(other, to, direction, functionCondition && throughFunction);
      }
      if (!throughFunction) quality &= ~Bit(61);

      int exponent = 0;
      if (throughFunction) {
        exponent += 14;
        if (functionCondition || (quality & Bit(61)) != 0) exponent += 14;
        if (state_.IsApproved(link.Func)) exponent += 14;
      }
      const auto& item = Item(from);
      if (item.Module >= 0 && Item(other).Module >= 0 && state_.Modules[item.Module].MapFile) {
        exponent += 3;
        if (LineBefore(from) > 0) exponent += 3;
        if (LineBefore(other) > 0) exponent += 3;
      }
      quality += Bit(exponent);
      list.Items[k].Quality[functionCondition ? 1 : 0] = static_cast<std::int64_t>(quality);
      if (Better(quality, best)) {
        best = quality;
        chosen = static_cast<int>(k);
      }
    }
    list.Chosen = chosen;
    memo_[key] = best;
    return best;
  }

  TTraceState& state_;
  std::map<std::tuple<int, TDirection, bool>, std::uint64_t> memo_;
};

}  // namespace

void RealizeOptimalLinkChains(TTraceState& state) {
  TChains(state).Run();
}

}  // namespace Reporter::Tracer::Internal
