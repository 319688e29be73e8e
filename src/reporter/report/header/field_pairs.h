#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Reporter::Report {

// (key, value) header lines or (title, content) sections, in order.
using TFieldPairs = std::vector<std::pair<std::string, std::string>>;

}  // namespace Reporter::Report
