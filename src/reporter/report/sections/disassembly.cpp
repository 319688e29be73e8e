#include "reporter/report/sections/disassembly.h"

#include "reporter/report/tracer/disassembler.h"

namespace Reporter::Report {

// The disassembler's listing already has the section's layout: "<address> > <instruction>"
// at the exception address, "[...]" for each stretch left out.
std::string DisassemblyText(Tracer::Address exceptAddr, int limit) {
  try {
    return Tracer::DisassembleFunction(exceptAddr, limit);
  } catch (...) {
    return {};
  }
}

}  // namespace Reporter::Report
