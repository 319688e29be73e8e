#pragma once

#include <string>
#include <string_view>

// UTF-8 <-> UTF-16 at the Windows API boundary. Invalid input becomes U+FFFD.
namespace Platform::Win32 {

std::wstring ToUtf16(std::string_view utf8);
std::string ToUtf8(std::wstring_view utf16);

}  // namespace Platform::Win32
