#include "reporter/report/system_lists/list_columns.h"

namespace Reporter::Report {

std::size_t TextWidth(std::string_view utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) == 0x80) continue;  // continues a character counted at its lead byte
    units += byte >= 0xF0 ? 2 : 1;        // beyond the BMP: a surrogate pair
  }
  return units;
}

std::string PadRight(std::string_view text, std::size_t width) {
  std::string result(text);
  const std::size_t used = TextWidth(text);
  if (used < width) result.append(width - used, ' ');
  return result;
}

std::string HexText(std::uint64_t value, std::size_t digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (text.size() < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

std::size_t HexDigits(std::uint64_t value) {
  std::size_t digits = 1;
  while (value >>= 4) ++digits;
  return digits;
}

std::size_t DecimalDigits(std::uint64_t value) {
  std::size_t digits = 1;
  while (value /= 10) ++digits;
  return digits;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace Reporter::Report
