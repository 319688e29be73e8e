#pragma once

#include <string>

#include "reporter/report/tracer/trace_types.h"

namespace Reporter::Report {

// The "disassembling" section: the function holding exceptAddr, about `limit` instruction lines
// before and after it, the instruction there marked with ">". Empty when the function cannot be
// analysed (the section then goes).
std::string DisassemblyText(Tracer::Address exceptAddr, int limit);

}  // namespace Reporter::Report
