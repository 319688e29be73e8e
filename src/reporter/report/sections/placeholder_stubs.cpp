// Placeholders until the real producers exist; each returns nothing.
#include "reporter/report/sections/disassembly.h"
#include "reporter/report/sections/location_line.h"
#include "reporter/report/sections/machine_state.h"
#include "reporter/report/sections/report_text.h"
#include "reporter/report/sections/stack_lines.h"

namespace Reporter::Report {
TStackLines FormatStackLines(const Tracer::TStackTrace&, const TSectionOptions&) {
  return {};
}
std::uint32_t CrcUpdate(std::uint32_t crc, std::span<const std::uint8_t>) {
  return crc;
}
std::string InsertCreatorLine(const std::string& text, const std::string&) {
  return text;
}
std::string LocationLine(Tracer::Address, const TSectionOptions&) {
  return {};
}
std::string CpuRegistersText(const Platform::TThreadContext&) {
  return {};
}
std::string StackDumpText(Tracer::Address) {
  return {};
}
std::string DisassemblyText(Tracer::Address, int) {
  return {};
}
std::string ComposeReportText(const TFieldPairs&, const TFieldPairs&) {
  return {};
}
}  // namespace Reporter::Report
