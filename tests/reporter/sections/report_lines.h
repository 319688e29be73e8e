#pragma once

#include <string>
#include <vector>

namespace ReportTest {

// A report text split at its "\r\n" line ends, for comparing line by line.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t begin = 0;;) {
    const std::size_t end = text.find("\r\n", begin);
    lines.push_back(text.substr(begin, end == std::string::npos ? end : end - begin));
    if (end == std::string::npos) return lines;
    begin = end + 2;
  }
}

}  // namespace ReportTest
