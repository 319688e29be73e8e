#include "e2e/report_layout.h"

#include <algorithm>
#include <cctype>

namespace E2E {
namespace {

struct TKey {
  std::string_view name;
  bool always;  // every report of a failing job has it, on every system
};

// The header in the order the report builds it.
constexpr TKey kHeaderOrder[] = {
    {"date/time", true},         {"computer name", true},      {"wts client name", false},
    {"user name", true},         {"registered owner", false},  {"operating system", true},
    {"system language", false},  {"system up time", false},    {"program up time", false},
    {"processor", false},        {"processors", false},        {"physical memory", true},
    {"free disk space", false},  {"display mode", false},      {"process id", true},
    {"allocated memory", true},  {"largest free block", true}, {"command line", true},
    {"executable", true},        {"exec. date/time", true},    {"version", true},
    {"compiled with", true},     {"Exvora version", true},     {"callstack crc", true},
    {"*.Orlo", false},           {"exception number", true},   {"exception class", true},
    {"exception message", true},
};

std::size_t OrderOf(const std::string& key) {
  const bool tag = key.size() > 5 && key.compare(key.size() - 5, 5, ".Orlo") == 0;
  for (std::size_t i = 0; i < std::size(kHeaderOrder); ++i) {
    if (kHeaderOrder[i].name == (tag ? "*.Orlo" : key)) return i;
  }
  return std::size(kHeaderOrder);
}

bool BlankAt(const Lines& lines, std::size_t column) {
  return std::all_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return column >= line.size() || line[column] == ' ';
  });
}

}  // namespace

Lines HeaderKeys(const Lines& report) {
  Lines keys;
  for (const std::string& line : report) {
    if (line.empty()) break;
    const std::size_t colon = line.find(" : ");
    if (colon == std::string::npos) continue;
    std::string key = line.substr(0, colon);
    key.erase(key.find_last_not_of(' ') + 1);
    keys.push_back(key);
  }
  return keys;
}

std::string HeaderOrderFault(const Lines& keys) {
  std::size_t previous = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::size_t order = OrderOf(keys[i]);
    if (order == std::size(kHeaderOrder)) return "unknown key \"" + keys[i] + "\"";
    if (i > 0 && order < previous) return "\"" + keys[i] + "\" after \"" + keys[i - 1] + "\"";
    previous = order;
  }
  for (const TKey& key : kHeaderOrder) {
    if (key.always && std::find(keys.begin(), keys.end(), key.name) == keys.end()) {
      return "no \"" + std::string(key.name) + "\"";
    }
  }
  return {};
}

Lines SectionTitles(const Lines& report) {
  Lines titles;
  for (std::size_t i = 1; i < report.size(); ++i) {
    if (!report[i - 1].empty() || report[i].empty()) continue;
    // A thread's title may go on after its colon (" <priority:2>").
    const std::size_t colon =
        report[i].back() == ':' ? report[i].size() - 1 : report[i].find(": <");
    if (colon != std::string::npos) titles.push_back(report[i].substr(0, colon));
  }
  return titles;
}

Lines SectionTitlesOfTheProgram(const Lines& report, bool underQemu) {
  Lines titles = SectionTitles(report);
  if (underQemu) {
    std::erase_if(titles, [&](const std::string& title) {
      return title.rfind("thread $", 0) == 0 &&
             ReportReading::Section(report, title) == Lines{title + ":", ">> stack not accessible"};
    });
  }
  return titles;
}

std::size_t WidestBlankRun(const Lines& lines) {
  std::size_t width = 0;
  for (const std::string& line : lines) width = std::max(width, line.size());
  std::size_t widest = 0;
  std::size_t run = 0;
  for (std::size_t column = 0; column < width; ++column) {
    run = BlankAt(lines, column) ? run + 1 : 0;
    widest = std::max(widest, run);
  }
  return widest;
}

Lines StackFields(const std::string& line, const Lines& section) {
  std::size_t width = 0;
  for (const std::string& other : section) width = std::max(width, other.size());
  Lines fields;
  std::size_t begin = 0;
  for (std::size_t column = 0; column <= width; ++column) {
    if (column < width && !BlankAt(section, column)) continue;
    if (column > begin) {
      // Within a column, the blanks of shorter entries are no part of the text.
      std::string text = begin < line.size() ? line.substr(begin, column - begin) : "";
      text.erase(0, std::min(text.size(), text.find_first_not_of(' ')));
      text.erase(text.find_last_not_of(' ') + 1);
      fields.push_back(text);
    }
    begin = column + 1;
  }
  return fields;
}

std::string LeftPlaceholder(std::string_view text) {
  for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
    std::size_t end = at + 1;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    if (end > at + 1 && end < text.size() && text[end] == '%') {
      return std::string(text.substr(at, end + 1 - at));
    }
  }
  return {};
}

}  // namespace E2E
