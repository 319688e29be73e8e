#pragma once

#include <string_view>

#include "platform/threads.h"

// The reporter's own threads: its handling, completion, upload and trace threads, and every
// thread one of them starts (the HTTP library's). Reports leave them out, and their failures
// are never handed to the handling thread, which may itself be waiting for them.
namespace Reporter::Core {

inline constexpr std::string_view kCompletionThreadName = "Exvora - CompleteBugReportThread";
inline constexpr std::string_view kUploadThreadName = "Exvora - SendBugReportThread";

// Marks the calling thread as the reporter's, under that name in the thread registry, for as
// long as the object lives (a thread id may be given to another thread afterwards).
class TReporterThread {
 public:
  explicit TReporterThread(std::string_view name);
  ~TReporterThread();
  TReporterThread(const TReporterThread&) = delete;
  TReporterThread& operator=(const TReporterThread&) = delete;

 private:
  Platform::ThreadId thread_;
};
// Marks a thread as the reporter's; false when too many are marked already.
bool MarkReporterThread(Platform::ThreadId thread);
// Async-signal-safe: no lock, no allocation.
bool IsReporterThread(Platform::ThreadId thread);
void ForgetReporterThread(Platform::ThreadId thread);

}  // namespace Reporter::Core
