#pragma once

#include <string>
#include <string_view>

// Values read back from a finished bug report text.
namespace Reporter::Delivery {

// The value of a header line: the first line break followed by the name (exact case), then
// the rest of that line after its first ":", trimmed. "" when there is none.
std::string FindReportField(std::string_view report, std::string_view name);

// A section's content: after a blank line, the name and ":", up to the next blank line,
// trimmed. "" when there is none.
std::string FindReportSection(std::string_view report, std::string_view name);

}  // namespace Reporter::Delivery
