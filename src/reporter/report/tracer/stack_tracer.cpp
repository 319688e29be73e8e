#include "reporter/report/tracer/stack_tracer.h"

#include "platform/threads.h"
#include "reporter/report/symbols/map_file.h"
#include "reporter/report/tracer/trace_lock.h"
#include "reporter/report/tracer/trace_state.h"
#include "rtl/class_names.h"
#include "rtl/exceptions.h"

namespace Reporter::Tracer {
namespace {

// The stack range must be one committed, readable region that is no guard page.
bool StackReadable(const TMemoryView& memory, const TThreadTraceInput& input) {
  if (input.stackTop <= input.stackBottom) return false;
  const auto* region = memory.RegionOf(input.stackBottom);
  return region != nullptr && region->Committed && !region->Guard &&
         region->Access == Platform::TMemoryAccess::Readable && input.stackTop <= region->End;
}

void RecordFailure(TTraceResult& result, const char* stage) {
  result.FailedStage = stage;
  if (const RTL::Exception* failure = RTL::AsException(std::current_exception())) {
    result.FailureAddress = failure->RaiseAddress();
  }
}

template <typename Stage>
bool RunStage(TTraceResult& result, const TTraceOptions& options, const char* name, Stage stage) {
  try {
    if (options.BeforeStage) options.BeforeStage(name);
    stage();
    return true;
  } catch (...) {
    RecordFailure(result, name);
    return false;
  }
}

}  // namespace

TTraceResult BuildCallStack(const TThreadTraceInput& request, const TTraceOptions& options) {
  TTraceResult result;
  try {
    std::lock_guard guard(Internal::TraceLock());
    TThreadTraceInput input = request;
    if (input.stackBottom == 0) {
      const auto range = Platform::CurrentThreadStackRange();
      input.tid = Platform::CurrentThreadId();
      input.stackBottom = range.Bottom;
      input.stackTop = range.Top;
      input.ebp = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    }
    TMemoryView memory;
    if (!StackReadable(memory, input)) return result;
    if (options.Progress) options.Progress(0);

    Internal::TTraceState state(input, options, memory);
    using namespace Internal;
    const auto aborted = [&] { return state.Aborted(); };
    if (!RunStage(result, options, "CollectPossibleStackItems",
                  [&] { CollectPossibleStackItems(state); }) ||
        aborted()) {
      return result;
    }
    if (!RunStage(result, options, "RemoveRecursiveStackAreas",
                  [&] { RemoveRecursiveStackAreas(state, true); }) ||
        aborted()) {
      return result;
    }
    if (!RunStage(result, options, "InDeepChecks", [&] { InDeepChecks(state); }) || aborted()) {
      return result;
    }
    if (!RunStage(result, options, "RealizeOptimalLinkChains",
                  [&] { RealizeOptimalLinkChains(state); }) ||
        aborted()) {
      return result;
    }
    if (!RunStage(result, options, "RemoveRecursiveAreas",
                  [&] { RemoveRecursiveStackAreas(state, false); }) ||
        aborted()) {
      return result;
    }
    RunStage(result, options, "FillFinalOutput", [&] { FillFinalOutput(state, result); });
    state.Progress(1000);
  } catch (...) {
    if (result.FailedStage.empty()) RecordFailure(result, "ComposeResult");
  }
  return result;
}

std::optional<TThreadTraceInput> InputForThread(std::uint32_t threadId) {
  const auto context = Platform::CaptureThreadContext(threadId);
  if (!context) return std::nullopt;
  const auto range = Platform::StackRangeAt(static_cast<std::uintptr_t>(context->Sp));
  if (!range) return std::nullopt;
  TThreadTraceInput input;
  input.tid = threadId;
  input.stackBottom = range->Bottom;
  input.stackTop = context->StackTop > context->Sp && context->StackTop <= range->Top
                       ? context->StackTop
                       : range->Top;
  input.ebp = context->Bp;
  return input;
}

TStackTrace ToStackTrace(const TTraceResult& result, const TTraceOptions& options) {
  TStackTrace trace;
  for (const auto& out : result.Items) {
    TStackItem item;
    item.Addr = out.Addr;
    item.relAddr =
        out.PublicAddr != 0 && out.PublicAddr <= out.Addr ? out.Addr - out.PublicAddr : 0;
    item.ModuleName = out.ModuleName;
    item.UnitName = out.UnitName;
    item.Line = out.Line;
    item.relLine = out.RelLine;
    item.FunctionName = out.PublicName;
    if (options.HideUglyItems && (item.FunctionName.empty() || item.Line == 0)) continue;
    trace.push_back(std::move(item));
  }
  return trace;
}

}  // namespace Reporter::Tracer
