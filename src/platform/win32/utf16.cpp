#include "platform/win32/utf16.h"

#include <windows.h>

#include <climits>

namespace Platform::Win32 {

std::wstring ToUtf16(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX) return {};
  const int length = static_cast<int>(utf8.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring utf16(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, utf16.data(), needed);
  return utf16;
}

std::string ToUtf8(std::wstring_view utf16) {
  if (utf16.empty() || utf16.size() > INT_MAX) return {};
  const int length = static_cast<int>(utf16.size());
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string utf8(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
}

}  // namespace Platform::Win32
