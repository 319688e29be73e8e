#pragma once

#include <cstdint>

namespace Reporter::Report {

// Milliseconds since NoteReporterStart, or since the process started when it was never called.
std::int64_t ProgramUpTimeMilliseconds();

}  // namespace Reporter::Report
