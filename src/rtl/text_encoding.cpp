#include <array>

#include "rtl/text.h"
#include "rtl/utf8.h"

namespace RTL::Text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252's bytes 0x80 to 0x9F; the unassigned ones decode to the control character of
// the same code, as Windows does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char EncodeCp1252(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return static_cast<char>(codePoint);
  }
  for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] == codePoint) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string result;
  result.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8::Sequence sequence = Utf8::Decode(utf8, pos);
    pos += sequence.length;
    const char32_t codePoint = sequence.valid ? sequence.codePoint : kReplacement;
    if (codePoint >= 0x10000) {
      result += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
      result += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
      result += static_cast<char16_t>(codePoint);
    }
  }
  return result;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string result;
  result.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t codePoint = utf16[i];
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < utf16.size() &&
        utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
      codePoint = kReplacement;  // a surrogate without its partner
    }
    Utf8::Append(result, codePoint);
  }
  return result;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string result;
  result.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    Utf8::Append(result, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
  }
  return result;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string result;
  result.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8::Sequence sequence = Utf8::Decode(utf8, pos);
    pos += sequence.length;
    result += sequence.valid ? EncodeCp1252(sequence.codePoint) : '?';
  }
  return result;
}

}  // namespace RTL::Text
