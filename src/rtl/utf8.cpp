#include "rtl/utf8.h"

namespace RTL::Text::Utf8 {
namespace {

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

}  // namespace

Sequence Decode(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return {lead, 1, true};

  std::size_t length;
  char32_t codePoint;
  // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
  unsigned char secondLow = 0x80, secondHigh = 0xBF;
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4;
    codePoint = lead & 0x07;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return {0, 1, false};
  }

  for (std::size_t i = 1; i < length; ++i) {
    if (pos + i >= text.size()) return {0, i, false};
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    const bool fits = i == 1 ? InRange(byte, secondLow, secondHigh) : InRange(byte, 0x80, 0xBF);
    if (!fits) return {0, i, false};
    codePoint = (codePoint << 6) | (byte & 0x3F);
  }
  return {codePoint, length, true};
}

std::size_t EncodedLength(char32_t codePoint) {
  if (codePoint < 0x80) return 1;
  if (codePoint < 0x800) return 2;
  if (codePoint < 0x10000) return 3;
  return 4;
}

void Append(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

}  // namespace RTL::Text::Utf8
