#pragma once

#include <string>

#include "reporter/report/tracer/trace_types.h"

namespace Reporter::Tracer {

// The instructions of the function that holds `address`, one per line:
//   <address> <mark> <instruction>[ ; <called function>]
// with "> " as the mark of the instruction at `address` and, before the first instruction of
// each source line, a line "; line <n>". With limit > 0 only about that many instructions
// before and after the marked one are listed, each omitted stretch being one line "[...]".
// Empty when the function cannot be found or analysed.
std::string DisassembleFunction(Address address, int limit);

}  // namespace Reporter::Tracer
