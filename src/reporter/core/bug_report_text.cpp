// The report as one text, cached until the next change.
#include "platform/loader_lock.h"
#include "reporter/core/reported_exception_impl.h"

namespace Reporter::Core {
namespace {

Report::TFieldPairs PairsOf(Settings::IFieldList& list) {
  Report::TFieldPairs pairs;
  list.Lock();
  try {
    const int count = list.GetItemCount();
    pairs.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
      std::string name = list.GetItem(index);
      std::string content = list.GetContent(name);
      pairs.emplace_back(std::move(name), std::move(content));
    }
  } catch (...) {
  }
  list.Unlock();
  return pairs;
}

}  // namespace

std::string TReportedException::ComposeText() {
  const auto header = GetBugReportHeader();
  const auto sections = GetBugReportSections();
  // The header's lock while the header is read, the sections' lock while they are.
  const Report::TFieldPairs headerPairs = PairsOf(*header);
  const Report::TFieldPairs sectionPairs = PairsOf(*sections);
  return Report::ComposeReportText(headerPairs, sectionPairs);
}

std::string TReportedException::GetBugReport(bool mustBeComplete,
                                             std::int32_t timeoutMilliseconds) {
  try {
    TReportCache::TSnapshot snapshot = cache_.Take();
    if (!filter_.CreateBugReport) return snapshot.Text;
    if (!snapshot.Text.empty() && (!mustBeComplete || complete_.load())) return snapshot.Text;

    GetBugReportHeader();
    GetBugReportSections();  // starts the completion
    if (mustBeComplete && !complete_.load()) {
      bool runHere = false;
      if (dontCompleteYet_.load()) {
        std::lock_guard guard(completionLock_);
        if (!completionStarted_) {
          completionStarted_ = true;
          completionRunning_ = true;
          runHere = true;
        }
      }
      if (runHere) {
        ShowPleaseWaitBox();
        RunCompletion();
        ClosePleaseWaitBox();
      } else if (GetShowPleaseWaitBox() && CompletionOnOtherThread() &&
                 !Platform::LoaderLockHeld()) {
        AwaitCompletionWithBox();
      } else {
        WaitForCompletion(timeoutMilliseconds);
      }
      snapshot = cache_.Take();
      if (!snapshot.Text.empty() && complete_.load()) return snapshot.Text;
    }
    std::string text = ComposeText();
    cache_.StoreIfUnchanged(snapshot, text);
    return text;
  } catch (...) {
    return {};
  }
}

void TReportedException::SetBugReport(const std::string& text) {
  cache_.Replace(text);
  Announce();
}

}  // namespace Reporter::Core
