#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "reporter/report/sections/section_options.h"
#include "reporter/report/tracer/trace_types.h"

// One thread's call stack as the lines of its report section, with the two check values that
// identify the crash across builds.
namespace Reporter::Report {

struct TStackLines {
  std::string Text;              // lines joined by "\r\n", none after the last
  std::uint32_t FirstCrc = 0;    // the first shown line's value
  std::uint32_t RunningCrc = 0;  // every shown line's value folded in, in order
  bool AnyRelLine = false;       // some shown line has a relLine above 0
};

// Items innermost first, as the tracer delivers them.
TStackLines FormatStackLines(const Tracer::TStackTrace& items, const TSectionOptions& options);

// The table-driven CRC-32 step (reflected 0xEDB88320) without initial or final inversion.
std::uint32_t CrcUpdate(std::uint32_t crc, std::span<const std::uint8_t> bytes);

// The value one shown line contributes: the CRC, started with the offset inside the function,
// of the lower-cased UTF-16LE module, unit and function names; the address itself when the
// item has no module or function name.
std::uint32_t StackLineValue(const Tracer::TStackItem& item);

// running absorbing value as 4 bytes, least significant first (also how a thread's running
// value is folded into the report's third check value).
std::uint32_t CrcAbsorb(std::uint32_t running, std::uint32_t value);

// Puts ">> created by " + creatorTitle + " at:" before the last line of a thread's text,
// unless the text starts with ">".
std::string InsertCreatorLine(const std::string& text, const std::string& creatorTitle);

}  // namespace Reporter::Report
