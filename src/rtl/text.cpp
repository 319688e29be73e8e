#include "rtl/text.h"

namespace RTL::Text {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

std::string Trim(std::string_view text) {
  return TrimRight(TrimLeft(text));
}

std::string TrimLeft(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  return std::string(text.substr(begin));
}

std::string TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string FormatArg::ToString() const {
  return isNumber_ ? std::to_string(number_) : std::string(text_);
}

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args) {
  std::string result;
  result.reserve(pattern.size());
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char following = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '%' && following == '%') {
      result += '%';
      ++i;
    } else if (c == '%' && (following == 's' || following == 'd') && next != args.end()) {
      result += (next++)->ToString();
      ++i;
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace RTL::Text
