#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "reporter/report/system_lists/list_columns.h"
#include "reporter/report/tracer/trace_types.h"

namespace Reporter::Report {

// An address in this build's pointer width, lower-case and zero-padded: 8 digits on 32-bit
// builds, 16 on 64-bit ones. Every address of the report's sections goes through it.
std::string HexAddress(Tracer::Address address);

// A number in lower-case hexadecimal, zero-padded to at least `digits` digits.
std::string HexNumber(std::uint64_t value, int digits = 1);

// TextWidth, PadRight: the column layout of the system lists serves the sections too.

}  // namespace Reporter::Report
