#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The pieces of a multipart/form-data body. The caller declares the whole length before the
// first byte is sent, so every piece's length must be known in advance.
namespace Reporter::Delivery {

inline constexpr std::string_view kMultipartBoundary = "exvora_multipart_boundary";

// RFC 4648 alphabet with "=" padding and no line breaks.
std::string Base64(std::string_view bytes);

// True when the text must go as UTF-8: alwaysUtf8 is set, or the text has a character beyond
// U+00FF or one that the ANSI code page cannot carry.
bool NeedsUtf8(std::string_view utf8, bool alwaysUtf8);

// A field or file name in a part's header: "=?UTF-8?B?...?=" when it needs UTF-8, else the
// text in the ANSI code page.
std::string HeaderWord(std::string_view utf8, bool alwaysUtf8);

// One text field's part, with its leading delimiter.
std::string FieldPart(std::string_view name, std::string_view content, bool alwaysUtf8);

// A file's head, with its leading delimiter; the file's bytes follow unchanged.
std::string FileHead(std::string_view fieldName, std::string_view sendAsName, bool alwaysUtf8);

std::string ClosingDelimiter();

}  // namespace Reporter::Delivery
