#pragma once

#include <string>
#include <string_view>

namespace Reporter::Core {

// A message as the report shows it: control characters below 32 other than CR and LF
// removed, trimmed, "Unknown" when empty; trailing "." and "!" replaced by exactly one ".".
std::string NormalizeExceptMessage(std::string_view message);

}  // namespace Reporter::Core
