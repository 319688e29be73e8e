#include "reporter/core/exception_message.h"

namespace Reporter::Core {

std::string NormalizeExceptMessage(std::string_view message) {
  std::string text;
  text.reserve(message.size() + 1);
  for (const char c : message) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32 && c != '\r' && c != '\n') continue;
    text += c;
  }
  const std::size_t first = text.find_first_not_of(
      "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15\x16"
      "\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f\x20");
  if (first == std::string::npos) {
    text = "Unknown";
  } else {
    text.erase(0, first);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
  }
  while (!text.empty() && (text.back() == '.' || text.back() == '!')) text.pop_back();
  return text + ".";
}

}  // namespace Reporter::Core
