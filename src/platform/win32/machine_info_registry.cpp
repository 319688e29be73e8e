#include "platform/win32/machine_info_registry.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/win32/utf16.h"

namespace Platform::Win32 {

std::optional<std::string> ReadMachineText(const wchar_t* keyPath, const wchar_t* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::optional<std::string> text;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    // Room for a terminator the stored value may lack.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &read) == ERROR_SUCCESS) {
      buffer.resize(std::min<std::size_t>(buffer.size(), read / sizeof(wchar_t)));
      text = ToUtf8(std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size())));
    }
  }
  RegCloseKey(key);
  return text;
}

}  // namespace Platform::Win32
