#pragma once

#include <string>

#include "reporter/report/sections/section_options.h"
#include "reporter/report/tracer/trace_types.h"

namespace Reporter::Report {

// One code address on one line: "0049c6f9 +0d Update.exe Update.Work 214 +12 RunUpdate", or
// "0049c6f9 +0 ???" when nothing resolves it.
std::string LocationLine(Tracer::Address address, const TSectionOptions& options);

}  // namespace Reporter::Report
