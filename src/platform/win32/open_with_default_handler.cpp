#include "platform/open_with_default_handler.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "platform/win32/utf16.h"

namespace Platform {

bool OpenWithDefaultHandler(const std::string& target) {
  if (target.empty()) return false;
  const std::wstring wide = Win32::ToUtf16(target);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  // Values above 32 mean success.
  return result > 32;
}

}  // namespace Platform
