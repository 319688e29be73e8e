#pragma once

#include <optional>
#include <string>

#include "reporter/report/sections/section_options.h"
#include "reporter/report/tracer/trace_types.h"

namespace Reporter::Report {

// One code address on one line: "0049c6f9 +0d Update.exe Update.Work 214 +12 RunUpdate", or
// "0049c6f9 +0 ???" when nothing resolves it.
std::string LocationLine(Tracer::Address address, const TSectionOptions& options);

// The same line for a location resolved already (none: nothing resolves the address).
std::string FormatLocationLine(Tracer::Address address,
                               const std::optional<Tracer::TFinalOutput>& location,
                               const TSectionOptions& options);

}  // namespace Reporter::Report
