#pragma once

#include <string>
#include <string_view>

// A section read back from a finished bug report text.
namespace Reporter::Delivery {

// A section's content: after a blank line, the name and ":", up to the next blank line,
// trimmed. "" when there is none.
std::string FindReportSection(std::string_view report, std::string_view name);

}  // namespace Reporter::Delivery
