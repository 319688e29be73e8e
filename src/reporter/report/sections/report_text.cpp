#include "reporter/report/sections/report_text.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "reporter/report/sections/section_format.h"
#include "rtl/text.h"

namespace Reporter::Report {
namespace {

// A header value on one line: each line break one space, runs of spaces one space.
std::string OneLine(std::string_view value) {
  std::string result;
  result.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      c = ' ';
    }
    if (c == ' ' && !result.empty() && result.back() == ' ') continue;
    result += c;
  }
  return result;
}

// The lines of a section's content, split at "\r\n", "\r" or "\n"; a final line break ends
// the last line instead of starting an empty one.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(begin));
      break;
    }
    lines.push_back(text.substr(begin, end - begin));
    begin = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

}  // namespace

std::string ComposeReportText(const TFieldPairs& header, const TFieldPairs& sections) {
  std::size_t keyWidth = 0;
  for (const auto& [key, value] : header) keyWidth = std::max(keyWidth, TextWidth(key));

  std::string text;
  for (const auto& [key, value] : header) {
    if (!text.empty()) text += "\r\n";
    text += key;
    text.append(keyWidth + 1 - TextWidth(key), ' ');
    text += ": ";
    text += OneLine(value);
  }
  for (const auto& [title, content] : sections) {
    text += "\r\n\r\n";
    text += title;
    if (title.find(':') == std::string::npos) text += ':';
    for (const std::string_view line : Lines(content)) {
      const std::string trimmed = RTL::Text::TrimRight(line);
      text += "\r\n";
      text += trimmed.empty() ? std::string(".") : trimmed;
    }
  }
  return text;
}

}  // namespace Reporter::Report
