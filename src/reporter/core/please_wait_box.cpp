// The please-wait box: shown while a report is completed on, or awaited by, a thread that is
// not the reporter's handling thread (the trace entry, a report asked for inside the loader's
// lock). Where the system has no windows it is never shown, and the same path runs without it.
#include "platform/loader_lock.h"
#include "platform/module_info.h"
#include "reporter/core/reported_exception_impl.h"
#include "reporter/ui/progress_alert.h"

namespace Reporter::Core {
namespace {

// The bitmap resource of the box's picture in the executable.
constexpr std::string_view kPictureName = "PLWAIT";
constexpr std::uint32_t kWaitSlice = 50;

}  // namespace

void TReportedException::ShowPleaseWaitBox() {
  if (!GetShowPleaseWaitBox()) return;
  auto box = UI::CreateProgressAlert(GetPleaseWaitTitle(), Platform::MainModule(), kPictureName);
  // One area per listed thread, weighed by the stack its trace has to read.
  const std::string text = GetPleaseWaitText();
  {
    std::lock_guard guard(stateLock_);
    for (const TThreadStack& stack : threadStacks_) {
      const std::uint64_t size =
          stack.stackTop > stack.stackBottom ? stack.stackTop - stack.stackBottom : 1;
      box->AddArea(text, size * 100);
    }
  }
  box->Show(Platform::WindowHandle{}, true);
  std::lock_guard guard(stateLock_);
  progressAlert_ = std::move(box);
}

void TReportedException::ClosePleaseWaitBox() {
  std::shared_ptr<UI::IProgressAlert> box;
  {
    std::lock_guard guard(stateLock_);
    box = std::move(progressAlert_);
  }
  if (box) box->Close();
}

std::shared_ptr<UI::IProgressAlert> TReportedException::PleaseWaitBox() {
  std::lock_guard guard(stateLock_);
  return progressAlert_;
}

bool TReportedException::CompletionOnOtherThread() {
  std::lock_guard guard(completionLock_);
  return completionRunning_ && completeThread_.joinable() &&
         completeThread_.get_id() != std::this_thread::get_id();
}

void TReportedException::AwaitCompletionWithBox() {
  ShowPleaseWaitBox();
  for (;;) {
    {
      std::unique_lock lock(completionLock_);
      if (completionDone_.wait_for(lock, std::chrono::milliseconds(kWaitSlice),
                                   [&] { return !completionRunning_; })) {
        break;
      }
    }
    if (const auto box = PleaseWaitBox()) box->ProcessMessages();
  }
  ClosePleaseWaitBox();
}

}  // namespace Reporter::Core
