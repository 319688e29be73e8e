#pragma once

#include <string>

#include "platform/threads.h"
#include "reporter/report/tracer/trace_types.h"

// The "cpu registers" and "stack dump" sections of a processor context.
namespace Reporter::Report {

// Nine lines "eax = 0019ff2c" .. "ebp = ..." in this build's register width.
std::string CpuRegistersText(const Platform::TThreadContext& context);

// At most 20 lines of 16 bytes from the stack pointer up to the end of its memory region;
// empty when nothing there can be read.
std::string StackDumpText(Tracer::Address stackPointer);

}  // namespace Reporter::Report
