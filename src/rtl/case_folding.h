#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Letter case and character classes: the ASCII helpers that parsers of names, switches,
// headers and numbers share, and the crash reporter's ignore-case comparison.
namespace RTL::Text {

// ASCII only: every byte of a UTF-8 sequence is none of these and keeps its case.
constexpr bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}
constexpr bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr char ToAsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char ToAsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
// 0 to 15 for 0-9, a-f and A-F; -1 for every other character.
constexpr int HexDigitValue(char c) {
  if (IsAsciiDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether the text is not empty and all decimal (hexadecimal) digits.
constexpr bool IsAsciiDigits(std::string_view text) {
  for (const char c : text) {
    if (!IsAsciiDigit(c)) return false;
  }
  return !text.empty();
}
constexpr bool IsAsciiHexDigits(std::string_view text) {
  for (const char c : text) {
    if (HexDigitValue(c) < 0) return false;
  }
  return !text.empty();
}

// A-Z become a-z (a-z become A-Z); nothing else changes.
std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);
bool AsciiEqualsIgnoreCase(std::string_view a, std::string_view b);
bool AsciiStartsWithIgnoreCase(std::string_view text, std::string_view prefix);
// The first position from `from` on where `key` starts, ASCII letters folded; npos when none
// (as std::string_view::find, an empty key is found at `from`).
std::size_t AsciiFindIgnoreCase(std::string_view text, std::string_view key, std::size_t from = 0);

// The crash reporter's own ignore-case comparison. It works on UTF-16 code units, as the
// reporter's lookups always have, so that names match and sort the same way on every build:
// each unit below 256 goes through a fixed folding table, every other unit compares as it is.

// The folded unit: A-Z to a-z, 0xC0-0xDE except 0xD7 to the unit 0x20 higher, 0x8A, 0x8C and
// 0x8E to 0x9A, 0x9C and 0x9E, 0x9F to 0xFF; every other unit unchanged.
char16_t FoldUnit(char16_t unit);

// Compares two UTF-8 texts by their folded UTF-16 units: the difference of the first two
// units that differ, or the difference of the lengths in units when one text begins with the
// other. Each byte of broken UTF-8 counts as a unit of its own (0xDC00 plus the byte), so two
// different broken texts never compare equal.
int CompareIgnoreCase(std::string_view a, std::string_view b);

bool SameIgnoreCase(std::string_view a, std::string_view b);

}  // namespace RTL::Text
