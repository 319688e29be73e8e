#include "platform/text_encoding.h"

#include "rtl/text.h"

namespace Platform {

// POSIX has no ANSI code page; the updater's files come from Windows-1252 systems.
std::string AnsiToUtf8(std::string_view bytes) {
  return RTL::Text::Cp1252ToUtf8(bytes);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  return RTL::Text::Utf8ToCp1252(utf8);
}

}  // namespace Platform
