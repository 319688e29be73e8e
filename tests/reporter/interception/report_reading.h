#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading a bug report as a program printed or saved it: the header's "key : value" lines,
// then sections that each start with a "title:" line after an empty line.
namespace ReportReading {

using Lines = std::vector<std::string>;

inline constexpr const char* kFailureLine = "In der Applikation ist ein Fehler aufgetreten.";

// What a program printed around a failure: the lines before the failure line, whether the
// failure line is followed by an empty line, and every line after that.
struct TPrinted {
  Lines before;
  bool found = false;
  bool emptyLineAfter = false;
  Lines report;
};

inline TPrinted SplitAtFailure(const Lines& lines) {
  TPrinted printed;
  std::size_t i = 0;
  for (; i < lines.size() && lines[i] != kFailureLine; ++i) printed.before.push_back(lines[i]);
  if (i == lines.size()) return printed;
  printed.found = true;
  printed.emptyLineAfter = i + 1 < lines.size() && lines[i + 1].empty();
  if (printed.emptyLineAfter) printed.report.assign(lines.begin() + i + 2, lines.end());
  return printed;
}

// The value of the first header field with this key; nothing when there is none.
inline std::optional<std::string> Field(const Lines& report, std::string_view key) {
  for (const std::string& line : report) {
    if (line.empty()) break;  // the header ends with the first section
    if (line.compare(0, key.size(), key) != 0) continue;
    const std::size_t colon = line.find(": ", key.size());
    if (colon == std::string::npos) continue;
    if (line.find_first_not_of(' ', key.size()) != colon) continue;
    return line.substr(colon + 2);
  }
  return std::nullopt;
}

// Every value of header fields with this key, across all reports in the lines.
inline Lines AllFields(const Lines& lines, std::string_view key) {
  Lines values;
  for (const std::string& line : lines) {
    if (line.compare(0, key.size(), key) != 0) continue;
    const std::size_t colon = line.find(": ", key.size());
    if (colon != std::string::npos && line.find_first_not_of(' ', key.size()) == colon) {
      values.push_back(line.substr(colon + 2));
    }
  }
  return values;
}

// The lines of the first section whose title starts with the prefix, title included; empty
// when there is none.
inline Lines Section(const Lines& report, std::string_view titlePrefix) {
  Lines section;
  for (std::size_t i = 1; i < report.size(); ++i) {
    if (!report[i - 1].empty() || report[i].compare(0, titlePrefix.size(), titlePrefix) != 0) {
      continue;
    }
    for (std::size_t j = i; j < report.size() && !report[j].empty(); ++j) {
      section.push_back(report[j]);
    }
    break;
  }
  return section;
}

inline bool AnyLineHolds(const Lines& lines, std::string_view text) {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

// Lines of a text, "\r\n" or "\n" ended; a UTF-8 byte order mark is dropped.
inline Lines TextLines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Lines lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// The lines without the empty ones at the end: a saved or sent report ends with a line end
// more than the printed one.
inline Lines WithoutTrailingEmptyLines(Lines lines) {
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// Where two texts' lines first differ, for a failure message.
inline std::string FirstDifference(const Lines& a, const Lines& b) {
  for (std::size_t i = 0; i < a.size() || i < b.size(); ++i) {
    const std::string left = i < a.size() ? a[i] : "<end>";
    const std::string right = i < b.size() ? b[i] : "<end>";
    if (left != right) return "line " + std::to_string(i + 1) + ": " + left + " | " + right;
  }
  return "none";
}

}  // namespace ReportReading
