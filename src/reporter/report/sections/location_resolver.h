#pragma once

#include <optional>

#include "reporter/report/tracer/trace_types.h"

namespace Reporter::Report {

// A single code address resolved the way the tracer resolves a call-stack item that no
// analysed function claims: module from the module table, function, unit and line from the
// module's symbol source. None when the address lies in no known module. RelLine is filled
// when wanted and both lines are known.
std::optional<Tracer::TFinalOutput> ResolveAddress(Tracer::Address address, bool relLines);

}  // namespace Reporter::Report
