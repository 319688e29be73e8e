#pragma once

#include <string>
#include <string_view>

namespace Platform {

// Decodes bytes of the system's ANSI code page to UTF-8 (Windows: GetACP(); POSIX:
// Windows-1252, the code page of the updater's Western European users).
std::string AnsiToUtf8(std::string_view bytes);

// Encodes UTF-8 in the ANSI code page; characters it lacks become "?".
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace Platform
