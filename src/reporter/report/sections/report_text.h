#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Reporter::Report {

// (key, value) header lines or (title, content) sections, in order.
using TFieldPairs = std::vector<std::pair<std::string, std::string>>;

// The bug report text: the header lines with their keys padded to one column, then every
// section after an empty line. "\r\n" separates lines; nothing follows the last one.
std::string ComposeReportText(const TFieldPairs& header, const TFieldPairs& sections);

}  // namespace Reporter::Report
