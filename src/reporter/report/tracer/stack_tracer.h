#pragma once

#include <optional>

#include "reporter/report/tracer/trace_types.h"

// Turns a thread's registers and raw stack into its call stack, resolved to module, unit,
// function and line. The frame-pointer chain is not trusted alone: every stack value that
// could be a return address is tested against the code in front of it, the functions
// involved are analysed to find which candidate called which, and the best chain is kept.
namespace Reporter::Tracer {

// Traces one thread; one trace runs at a time in the process. Never throws: a failing stage
// ends the trace and is named in FailedStage.
TTraceResult BuildCallStack(const TThreadTraceInput& input, const TTraceOptions& options);

// The input for a live thread of this process, from its current context; none when its
// context or stack cannot be read.
std::optional<TThreadTraceInput> InputForThread(std::uint32_t threadId);

// The items as call-stack lines: the function shown without its qualifier, relative address
// from the function's start. With HideUglyItems, items without a function or a source line
// are left out.
TStackTrace ToStackTrace(const TTraceResult& result, const TTraceOptions& options);

}  // namespace Reporter::Tracer
