#include "reporter/delivery/multipart.h"

#include "platform/text_encoding.h"

namespace Reporter::Delivery {
namespace {

// Each decoded character is at most U+00FF: lead bytes 0xC2 and 0xC3 are the only multi-byte
// ones allowed; anything else (or broken UTF-8) needs more.
bool OnlyLatin1(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) continue;
    if ((c != 0xC2 && c != 0xC3) || i + 1 >= utf8.size()) return false;
    const auto next = static_cast<unsigned char>(utf8[i + 1]);
    if ((next & 0xC0) != 0x80) return false;
    ++i;
  }
  return true;
}

}  // namespace

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16 |
                            static_cast<unsigned char>(bytes[i + 1]) << 8 |
                            static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[v >> 18 & 63];
    out += kAlphabet[v >> 12 & 63];
    out += kAlphabet[v >> 6 & 63];
    out += kAlphabet[v & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[v >> 18 & 63];
    out += kAlphabet[v >> 12 & 63];
    out += rest == 2 ? kAlphabet[v >> 6 & 63] : '=';
    out += '=';
  }
  return out;
}

bool NeedsUtf8(std::string_view utf8, bool alwaysUtf8) {
  if (alwaysUtf8 || !OnlyLatin1(utf8)) return true;
  return Platform::AnsiToUtf8(Platform::Utf8ToAnsi(utf8)) != utf8;
}

std::string HeaderWord(std::string_view utf8, bool alwaysUtf8) {
  if (NeedsUtf8(utf8, alwaysUtf8)) return "=?UTF-8?B?" + Base64(utf8) + "?=";
  return Platform::Utf8ToAnsi(utf8);
}

std::string FieldPart(std::string_view name, std::string_view content, bool alwaysUtf8) {
  const bool utf8 = NeedsUtf8(content, alwaysUtf8);
  std::string part = "\r\n--";
  part += kMultipartBoundary;
  part += "\r\nContent-Disposition: form-data; name=\"";
  part += HeaderWord(name, alwaysUtf8);
  part += "\"\r\nContent-Type: text/plain; charset=\"";
  part += utf8 ? "utf-8" : "iso-8859-1";
  part += "\"\r\nContent-Transfer-Encoding: ";
  part += utf8 ? "base64" : "8bit";
  part += "\r\n\r\n";
  part += utf8 ? Base64(content) : Platform::Utf8ToAnsi(content);
  return part;
}

std::string FileHead(std::string_view fieldName, std::string_view sendAsName, bool alwaysUtf8) {
  std::string head = "\r\n--";
  head += kMultipartBoundary;
  head += "\r\nContent-Disposition: form-data; name=\"";
  head += HeaderWord(fieldName, alwaysUtf8);
  head += "\"; filename=\"";
  head += HeaderWord(sendAsName, alwaysUtf8);
  head += "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
  return head;
}

std::string ClosingDelimiter() {
  return "\r\n--" + std::string(kMultipartBoundary) + "--\r\n";
}

}  // namespace Reporter::Delivery
