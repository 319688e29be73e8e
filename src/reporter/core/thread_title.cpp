#include "reporter/core/thread_title.h"

#include <cstdio>

#include "reporter/core/reporter_threads.h"
#include "reporter/core/thread_registry.h"

namespace Reporter::Core {
namespace {

std::string Hex(Platform::ThreadId thread) {
  char text[16];
  std::snprintf(text, sizeof text, "$%x", static_cast<unsigned>(thread));
  return text;
}

bool IsReporterThreadName(const std::string& name) {
  return name == "-" || name == kFreezeThreadName || name == kHandlingThreadName ||
         name == kTraceThreadName || name == kCompletionThreadName || name == kUploadThreadName;
}

// The system's name of the thread. A thread that was never named carries the program's name
// on some systems (inherited from the thread that started it); that is no name of its own.
std::string SystemName(Platform::ThreadId thread) {
  std::string name = Platform::ThreadName(thread);
  const Platform::ThreadId main = Platform::MainThreadId();
  if (!name.empty() && thread != main && name == Platform::ThreadName(main)) name.clear();
  return name;
}

}  // namespace

std::string ThreadTitle(Platform::ThreadId thread, bool showAlways, std::int32_t waitMilliseconds) {
  TThreadEntry entry;
  const TLookup found = LookUpThread(thread, entry, waitMilliseconds);
  if (found == TLookup::Busy) return "thread " + Hex(thread);
  std::string name = entry.Name;
  if (name.empty()) name = SystemName(thread);
  if (!showAlways && (IsReporterThreadName(name) || IsReporterThread(thread))) return {};
  if (!name.empty() && name != "-") return name + " (" + Hex(thread) + ")";
  std::string title = "thread " + Hex(thread);
  if (!entry.ClassName.empty()) title += " (" + entry.ClassName + ")";
  return title;
}

}  // namespace Reporter::Core
