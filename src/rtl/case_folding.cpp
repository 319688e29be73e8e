#include "rtl/case_folding.h"

#include <array>
#include <cstddef>

#include "rtl/utf8.h"

namespace RTL::Text {
namespace {

constexpr std::array<char16_t, 256> MakeFoldingTable() {
  std::array<char16_t, 256> table{};
  for (std::size_t unit = 0; unit < table.size(); ++unit) table[unit] = char16_t(unit);
  for (char16_t unit = u'A'; unit <= u'Z'; ++unit) table[unit] = unit + 0x20;
  for (char16_t unit = 0xC0; unit <= 0xDE; ++unit) {
    if (unit != 0xD7) table[unit] = unit + 0x20;  // 0xD7 is the multiplication sign
  }
  table[0x8A] = 0x9A;
  table[0x8C] = 0x9C;
  table[0x8E] = 0x9E;
  table[0x9F] = 0xFF;
  return table;
}

constexpr std::array<char16_t, 256> kFoldingTable = MakeFoldingTable();

// Hands out a UTF-8 text as UTF-16 units, one at a time, without building the whole string.
class TUnitReader {
 public:
  explicit TUnitReader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size() && pendingLow_ == 0; }

  char16_t Next() {
    if (pendingLow_ != 0) {
      const char16_t low = pendingLow_;
      pendingLow_ = 0;
      return low;
    }
    if (brokenLeft_ > 0) {
      --brokenLeft_;
      return char16_t(0xDC00 + static_cast<unsigned char>(text_[pos_++]));
    }
    const Utf8::Sequence sequence = Utf8::Decode(text_, pos_);
    if (!sequence.valid) {
      brokenLeft_ = sequence.length - 1;
      return char16_t(0xDC00 + static_cast<unsigned char>(text_[pos_++]));
    }
    pos_ += sequence.length;
    if (sequence.codePoint < 0x10000) return char16_t(sequence.codePoint);
    const char32_t offset = sequence.codePoint - 0x10000;
    pendingLow_ = char16_t(0xDC00 + (offset & 0x3FF));
    return char16_t(0xD800 + (offset >> 10));
  }

  // The units still to come.
  int CountRest() {
    int count = 0;
    while (!AtEnd()) {
      Next();
      ++count;
    }
    return count;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t brokenLeft_ = 0;
  char16_t pendingLow_ = 0;
};

}  // namespace

std::string AsciiLower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = ToAsciiLower(c);
  return result;
}

std::string AsciiUpper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = ToAsciiUpper(c);
  return result;
}

bool AsciiEqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AsciiStartsWithIgnoreCase(a, b);
}

bool AsciiStartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (ToAsciiLower(text[i]) != ToAsciiLower(prefix[i])) return false;
  }
  return true;
}

std::size_t AsciiFindIgnoreCase(std::string_view text, std::string_view key, std::size_t from) {
  if (key.size() > text.size()) return std::string_view::npos;
  for (std::size_t at = from; at + key.size() <= text.size(); ++at) {
    if (AsciiStartsWithIgnoreCase(text.substr(at), key)) return at;
  }
  return std::string_view::npos;
}

char16_t FoldUnit(char16_t unit) {
  return unit < kFoldingTable.size() ? kFoldingTable[unit] : unit;
}

int CompareIgnoreCase(std::string_view a, std::string_view b) {
  // Plain ASCII up to the first difference needs no decoding.
  std::size_t same = 0;
  while (same < a.size() && same < b.size() && a[same] == b[same] &&
         static_cast<unsigned char>(a[same]) < 0x80) {
    ++same;
  }
  TUnitReader left(a.substr(same)), right(b.substr(same));
  while (!left.AtEnd() && !right.AtEnd()) {
    const char16_t l = FoldUnit(left.Next()), r = FoldUnit(right.Next());
    if (l != r) return int(l) - int(r);
  }
  return left.CountRest() - right.CountRest();
}

bool SameIgnoreCase(std::string_view a, std::string_view b) {
  return CompareIgnoreCase(a, b) == 0;
}

}  // namespace RTL::Text
