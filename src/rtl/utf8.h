#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 sequence reading and writing shared by the text helpers.
namespace RTL::Text::Utf8 {

struct Sequence {
  char32_t codePoint = 0;
  std::size_t length = 1;  // bytes taken; for an invalid sequence its maximal valid prefix
  bool valid = false;
};

// Reads the sequence that starts at pos (pos < text.size()). An invalid one is the longest
// prefix of a well-formed sequence, at least one byte, so that a decoder replaces each broken
// piece by one U+FFFD as Windows and the browsers do.
Sequence Decode(std::string_view text, std::size_t pos);

// The number of bytes the code point takes.
std::size_t EncodedLength(char32_t codePoint);

void Append(std::string& out, char32_t codePoint);

}  // namespace RTL::Text::Utf8
