#pragma once

#include <cstdint>
#include <span>
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

// The dump of bytes read from address on, up to the end of their region (at most 20 lines
// are shown): "0019ff2c  01 00 00 00 a4 ff 19 00 - 3c 12 41 00 00 00 00 00  ........<.A.....",
// slots beyond the last byte left blank.
std::string FormatStackDump(Tracer::Address address, std::span<const std::uint8_t> bytes);

}  // namespace Reporter::Report
