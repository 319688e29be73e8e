#pragma once

#include <cstdint>
#include <mutex>
#include <string>

// The composed report text and the change counter it was composed at. A text composed while
// the report changed is not kept, so that a later request composes it again.
namespace Reporter::Core {

class TReportCache {
 public:
  struct TSnapshot {
    std::string Text;
    std::uint64_t ChangeNumber = 0;
  };

  TSnapshot Take() {
    std::lock_guard guard(lock_);
    return {text_, changeNumber_};
  }
  // Keeps the text only when nothing changed since `snapshot` was taken; says whether it did.
  bool StoreIfUnchanged(const TSnapshot& snapshot, std::string text) {
    std::lock_guard guard(lock_);
    if (snapshot.ChangeNumber != changeNumber_) return false;
    text_ = std::move(text);
    return true;
  }
  // A change: the text is dropped and the counter moves on.
  void Changed() {
    std::lock_guard guard(lock_);
    ++changeNumber_;
    text_.clear();
  }
  // Replaces the text, counting as a change.
  void Replace(std::string text) {
    std::lock_guard guard(lock_);
    ++changeNumber_;
    text_ = std::move(text);
  }
  std::uint64_t ChangeNumber() {
    std::lock_guard guard(lock_);
    return changeNumber_;
  }

 private:
  std::mutex lock_;
  std::string text_;
  std::uint64_t changeNumber_ = 0;
};

}  // namespace Reporter::Core
