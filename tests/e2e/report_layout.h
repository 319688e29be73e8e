#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "reporter/interception/report_reading.h"

// The shape of a bug report as the real program prints it: its header keys, its section
// titles and the columns of its stack lines.
namespace E2E {

using ReportReading::Lines;

// The header's keys in the order of their lines.
Lines HeaderKeys(const Lines& report);

// Whether the keys appear in the order the report builds them (every key known, a module's
// ".Orlo" tag right after "callstack crc"), every key a report always has among them; the
// first fault found, empty when there is none.
std::string HeaderOrderFault(const Lines& keys);

// The section titles in order, without their colon and what a thread's title has after it.
Lines SectionTitles(const Lines& report);

// The same without the thread that qemu-user runs in every process it emulates: listed, it
// has no stack of the program's to show.
Lines SectionTitlesOfTheProgram(const Lines& report, bool underQemu);

// The widest run of character columns that is blank on every one of the lines: 1 when each
// column of a stack section is exactly as wide as its longest entry needs.
std::size_t WidestBlankRun(const Lines& lines);

// A stack line cut at the runs of blanks that are blank on every line of its section.
Lines StackFields(const std::string& line, const Lines& section);

// The first %name% placeholder left in the text; empty when there is none.
std::string LeftPlaceholder(std::string_view text);

}  // namespace E2E
