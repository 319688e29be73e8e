#include "platform/win32/system_error_text.h"

#include <windows.h>

#include <string_view>

#include "platform/win32/utf16.h"

namespace Platform::Win32 {

std::string SystemErrorText(std::uint32_t errorCode) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring_view text(buffer, buffer != nullptr ? length : 0);
  while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.remove_suffix(1);
  std::string result = ToUtf8(text);
  if (buffer != nullptr) LocalFree(buffer);
  // Codes the system has no text for still need to be told apart.
  if (result.empty()) result = "Systemfehler. Code: " + std::to_string(errorCode);
  return result;
}

Failure LastErrorFailure() {
  return ErrorFailure(GetLastError());
}

Failure ErrorFailure(std::uint32_t errorCode) {
  return Failure{SystemErrorText(errorCode)};
}

}  // namespace Platform::Win32
