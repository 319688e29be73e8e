#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Column layout shared by the system lists: widths count UTF-16 code units, as the reporter's
// texts always have, and columns are filled with spaces on the right.
namespace Reporter::Report {

std::size_t TextWidth(std::string_view utf8);

// The text followed by spaces up to the width; a longer text stays whole.
std::string PadRight(std::string_view text, std::size_t width);

// Lower-case hexadecimal with leading zeros to at least the given number of digits.
std::string HexText(std::uint64_t value, std::size_t digits);
std::size_t HexDigits(std::uint64_t value);
std::size_t DecimalDigits(std::uint64_t value);

// The lines joined by CR LF, with no line break before the first or after the last.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace Reporter::Report
