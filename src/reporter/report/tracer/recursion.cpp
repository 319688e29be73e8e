// Stages "RemoveRecursiveStackAreas" and "RemoveRecursiveAreas": a run of items that repeats
// right in front of an identical run (a recursion) is listed once.
#include <algorithm>

#include "reporter/report/tracer/trace_state.h"

namespace Reporter::Tracer::Internal {

void TTraceState::InvalidateItem(int index) {
  auto& item = Items[static_cast<std::size_t>(index)];
  item.Invalid = true;
  item.DontKill = false;
  for (auto& list : item.Links) {
    for (const auto& link : list.Items) {
      if (link.Link < 0) continue;
      for (auto& other : Items[static_cast<std::size_t>(link.Link)].Links) {
        std::erase_if(other.Items, [&](const TStackLink& back) { return back.Link == index; });
        other.Chosen = -1;
      }
    }
    std::erase_if(list.Items, [](const TStackLink& l) { return l.Link >= 0; });
    list.Chosen = -1;
  }
}

void RemoveRecursiveStackAreas(TTraceState& state, bool removeLinks) {
  auto& items = state.Items;
  const int count = static_cast<int>(items.size());
  const auto valid = [&](int i) { return !items[static_cast<std::size_t>(i)].Invalid; };
  const auto address = [&](int i) { return items[static_cast<std::size_t>(i)].AfterInstr; };

  for (bool removed = true; removed && !state.Aborted();) {
    removed = false;
    for (int newer = count - 1; newer >= 1; --newer) {
      if (!valid(newer)) continue;
      int older = newer - 1;
      while (older >= 0 && !(valid(older) && address(older) == address(newer))) --older;
      if (older < 0) continue;

      // The run (older, newer] and the run of as many valid items ending at older.
      std::vector<int> run;
      for (int i = older + 1; i <= newer; ++i) {
        if (valid(i)) run.push_back(i);
      }
      std::vector<int> before;
      for (int i = older; i >= 0 && before.size() < run.size(); --i) {
        if (valid(i)) before.push_back(i);
      }
      if (before.size() != run.size()) continue;
      std::reverse(before.begin(), before.end());
      bool same = true;
      for (std::size_t k = 0; k < run.size() && same; ++k) {
        same = address(run[k]) == address(before[k]);
      }
      if (!same) continue;

      for (int i : run) {
        if (removeLinks) {
          state.InvalidateItem(i);
        } else {
          items[static_cast<std::size_t>(i)].Invalid = true;
          items[static_cast<std::size_t>(i)].DontKill = false;
        }
      }
      removed = true;
      newer = older + 1;  // continue below the removed run
    }
  }
}

}  // namespace Reporter::Tracer::Internal
