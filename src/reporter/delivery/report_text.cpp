#include "reporter/delivery/report_text.h"

namespace Reporter::Delivery {
namespace {

std::string Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return std::string(text);
}

// The position after the next blank line's end at or after `from`; npos when none.
std::size_t BlankLine(std::string_view text, std::size_t from, std::size_t& start) {
  for (std::size_t at = text.find('\n', from); at != std::string_view::npos;
       at = text.find('\n', at + 1)) {
    std::size_t next = at + 1;
    if (next < text.size() && text[next] == '\r') ++next;
    if (next < text.size() && text[next] == '\n') {
      start = at;
      return next + 1;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::string FindReportSection(std::string_view report, std::string_view name) {
  if (name.empty()) return {};
  const std::string key = std::string(name) + ":";
  std::size_t start = 0;
  for (std::size_t from = 0;;) {
    const std::size_t after = BlankLine(report, from, start);
    if (after == std::string_view::npos) return {};
    if (report.substr(after, key.size()) == key) {
      const std::size_t contentStart = after + key.size();
      std::size_t blank = 0;
      const std::size_t next = BlankLine(report, contentStart, blank);
      const std::size_t contentEnd = next == std::string_view::npos ? report.size() : blank;
      return Trimmed(report.substr(contentStart, contentEnd - contentStart));
    }
    from = after - 1;
  }
}

}  // namespace Reporter::Delivery
