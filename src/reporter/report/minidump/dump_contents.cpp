#include "reporter/report/minidump/dump_contents.h"

#include <algorithm>

#include "platform/memory_map.h"
#include "reporter/report/minidump/linux_signal.h"

namespace Reporter::Report::Minidump {
namespace {

// A thread that does not answer within this is dumped without its registers.
constexpr std::uint32_t kContextTimeoutMilliseconds = 500;
constexpr std::uint64_t kPage = 4096;

std::uint64_t StackTopOf(const Platform::TThreadContext& context) {
  if (context.StackTop > context.Sp) return context.StackTop;
  const auto range = Platform::StackRangeAt(static_cast<std::uintptr_t>(context.Sp));
  return range ? range->Top : context.Sp;
}

}  // namespace

std::vector<std::uint8_t> ReadStack(std::uint64_t start, std::uint64_t top) {
  std::vector<std::uint8_t> bytes;
  if (top <= start) return bytes;
  const std::uint64_t end = std::min<std::uint64_t>(top, start + kStackCapBytes);
  bytes.resize(static_cast<std::size_t>(end - start));
  std::uint64_t at = start;
  while (at < end) {
    const std::uint64_t chunkEnd = std::min(end, (at / kPage + 1) * kPage);
    if (!Platform::ReadMemory(static_cast<std::uintptr_t>(at), bytes.data() + (at - start),
                              static_cast<std::size_t>(chunkEnd - at))) {
      break;
    }
    at = chunkEnd;
  }
  bytes.resize(static_cast<std::size_t>(at - start));
  return bytes;
}

TDumpContents GatherDumpContents(const TFailingThread& failing) {
  TDumpContents contents;
  contents.System = Platform::DumpSystem();
  const Platform::ThreadId current = Platform::CurrentThreadId();
  for (const Platform::ThreadId id : Platform::ListThreads()) {
    TDumpThread thread;
    thread.Id = id;
    std::optional<Platform::TThreadContext> context;
    const bool isFailing = id == failing.Id && failing.Context;
    if (isFailing) {
      context = failing.Context;
    } else {
      context = Platform::CaptureThreadContext(id, kContextTimeoutMilliseconds);
    }
    if (context) {
      thread.Context = *context;
      thread.StackStart = context->Sp;
      if (isFailing && !failing.StackSnapshot.empty()) {
        // The snapshot holds the frames that the unwinding wrote over since; the frames above
        // it, down to the handler that caught the exception, are still as they were.
        const std::size_t size = std::min(failing.StackSnapshot.size(), kStackCapBytes);
        thread.Stack.assign(failing.StackSnapshot.begin(),
                            failing.StackSnapshot.begin() + static_cast<std::ptrdiff_t>(size));
        const std::vector<std::uint8_t> above =
            ReadStack(context->Sp + size,
                      std::min<std::uint64_t>(StackTopOf(*context), context->Sp + kStackCapBytes));
        thread.Stack.insert(thread.Stack.end(), above.begin(), above.end());
      } else if (id != current) {
        thread.Stack = ReadStack(context->Sp, StackTopOf(*context));
      }
    }
    contents.Threads.push_back(std::move(thread));
  }
  // The calling thread's own stack changes while it is read: taken last, from where it is now.
  for (TDumpThread& thread : contents.Threads) {
    if (thread.Id == current && !(thread.Id == failing.Id && failing.Context)) {
      thread.Stack = ReadStack(thread.Context.Sp, StackTopOf(thread.Context));
    }
  }
  for (const TDumpThread& thread : contents.Threads) {
    if (thread.Id != failing.Id) continue;
    TDumpException exception;
    exception.ThreadId = failing.Id;
    exception.Code = LinuxSignalOf(failing.Code);
    exception.Flags = failing.Flags;
    exception.Address = failing.Address;
    exception.Context = thread.Context;
    contents.Exception = exception;
  }
  contents.Modules = Platform::DumpModules();
  contents.MemoryMap = Platform::DumpMemoryMapText();
  contents.ProcessStatus = Platform::DumpProcessStatusText();
  return contents;
}

}  // namespace Reporter::Report::Minidump
