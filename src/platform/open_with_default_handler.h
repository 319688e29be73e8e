#pragma once

#include <string>

namespace Platform {

// Opens a document or URL with the program the user's system associates with it, without
// waiting (Windows: the shell's "open" verb; POSIX: xdg-open when it is installed). False
// when nothing could be started.
[[nodiscard]] bool OpenWithDefaultHandler(const std::string& target);

}  // namespace Platform
