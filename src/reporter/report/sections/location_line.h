#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// What a producer that failed leaves in its section: ">> internal error in " + producer, then,
// when the failure's address is known, ":" and its location line on the next line.
std::string InternalErrorText(std::string_view producer, Tracer::Address failureAddress,
                              const TSectionOptions& options);

// A thread's text when its trace failed in a stage: the stage's internal error, and for the
// failing thread the exception's own location after ">> original exception location: ".
std::string FailedTraceText(const Tracer::TTraceResult& result, bool exceptThread,
                            Tracer::Address exceptAddr, const TSectionOptions& options);

}  // namespace Reporter::Report
