#include "platform/text_encoding.h"

#include <windows.h>

#include <climits>

#include "platform/win32/utf16.h"

namespace Platform {

std::string AnsiToUtf8(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring utf16(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, utf16.data(), needed);
  return Win32::ToUtf8(utf16);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  const std::wstring utf16 = Win32::ToUtf16(utf8);
  if (utf16.empty() || utf16.size() > INT_MAX) return {};
  const int length = static_cast<int>(utf16.size());
  // No best-fit mapping: a character the code page lacks becomes "?" rather than a look-alike.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  const char* defaultChar = "?";
  int needed =
      WideCharToMultiByte(CP_ACP, flags, utf16.data(), length, nullptr, 0, defaultChar, nullptr);
  if (needed <= 0) {
    // UTF-8 and a few other code pages as the ANSI code page take neither flags nor a default.
    flags = 0;
    defaultChar = nullptr;
    needed = WideCharToMultiByte(CP_ACP, flags, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
  }
  std::string ansi(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, flags, utf16.data(), length, ansi.data(), needed, defaultChar,
                      nullptr);
  return ansi;
}

}  // namespace Platform
