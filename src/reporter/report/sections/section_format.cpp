#include "reporter/report/sections/section_format.h"

#include <cstdio>

namespace Reporter::Report {

std::string HexAddress(Tracer::Address address) {
  return HexNumber(address, static_cast<int>(2 * sizeof(void*)));
}

std::string HexNumber(std::uint64_t value, int digits) {
  char text[40];
  std::snprintf(text, sizeof text, "%0*llx", digits < 1 ? 1 : (digits > 32 ? 32 : digits),
                static_cast<unsigned long long>(value));
  return text;
}

std::size_t TextWidth(std::string_view text) {
  std::size_t width = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++width;  // not a continuation byte
    if (byte >= 0xF0) ++width;           // a character beyond the BMP takes two units
  }
  return width;
}

}  // namespace Reporter::Report
