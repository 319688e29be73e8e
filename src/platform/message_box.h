#pragma once

#include <string_view>

namespace Platform {

// Tells the user about an internal failure: a message box on Windows, a "caption: text" line
// on standard error on POSIX.
void ShowMessage(std::string_view caption, std::string_view text);

}  // namespace Platform
