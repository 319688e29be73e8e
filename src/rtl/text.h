#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Text helpers of the runtime library. Texts are UTF-8 std::string throughout the program;
// the Windows API boundary converts to UTF-16.
namespace RTL::Text {

// Removes every character with a code from 0 to 32 at both ends.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Full upper-case mapping of every letter the program's users write (Latin, Greek,
// Cyrillic), as Windows' locale-aware comparisons do; invalid UTF-8 bytes stay as they are.
// Like Windows' mapping it keeps the length: a letter whose capital would take another number
// of UTF-8 bytes (dotless i, long s) stays, so offsets in the result are offsets in the input.
std::string UnicodeUpper(std::string_view utf8);
bool UnicodeEqualsIgnoreCase(std::string_view a, std::string_view b);

// UTF-8 <-> UTF-16. Invalid input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Windows-1252 <-> UTF-8; characters Windows-1252 lacks become "?". Its five unassigned
// bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same code, as
// Windows decodes them, so that every byte survives the round trip.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view utf8);

// printf-style formatting with the only two placeholders the program's texts use:
// "%s" (a UTF-8 text) and "%d" (a signed integer), filled in order; "%%" is a percent sign.
// A placeholder without an argument stays as written.
class FormatArg {
 public:
  FormatArg(std::string_view text) : text_(text), isNumber_(false) {}
  FormatArg(const std::string& text) : text_(text), isNumber_(false) {}
  FormatArg(const char* text) : text_(text), isNumber_(false) {}
  FormatArg(std::int64_t number) : number_(number), isNumber_(true) {}
  FormatArg(int number) : number_(number), isNumber_(true) {}
  std::string ToString() const;

 private:
  std::string_view text_;
  std::int64_t number_ = 0;
  bool isNumber_;
};
std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args);

}  // namespace RTL::Text
