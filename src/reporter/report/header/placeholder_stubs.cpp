// Placeholders until the real header exists.
#include "reporter/report/header/header_fields.h"
#include "reporter/report/header/header_formats.h"

namespace Reporter::Report {
THeader BuildHeaderFields(const THeaderInput&) {
  return {};
}
void NoteReporterStart() {}
std::string DurationToStr(std::int64_t) {
  return {};
}
std::string SizeToStr(std::uint64_t, char) {
  return {};
}
std::string SizeToStr(std::uint64_t) {
  return {};
}
}  // namespace Reporter::Report
