#include "platform/module_info.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/win32/utf16.h"

namespace Platform {

std::optional<ModuleHandle> ModuleOfAddress(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCWSTR>(address), &module)) {
    return std::nullopt;
  }
  return reinterpret_cast<ModuleHandle>(module);
}

std::string ModuleFileName(ModuleHandle module) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(reinterpret_cast<HMODULE>(module), buffer.data(),
                                            static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return Win32::ToUtf8(std::wstring_view(buffer.data(), length));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> ModuleVersion(ModuleHandle module) {
  const std::wstring path = Win32::ToUtf16(ModuleFileName(module));
  if (path.empty()) return std::nullopt;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<std::uint8_t> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
      fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
    return std::string(text);
  }

  // No fixed part: the FileVersion string of the first translation.
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT translationsSize = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &translationsSize) ||
      translationsSize < sizeof(Translation)) {
    return std::nullopt;
  }
  wchar_t key[64];
  std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[0].language,
                translations[0].codePage);
  wchar_t* value = nullptr;
  UINT valueSize = 0;
  if (!VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&value), &valueSize) ||
      value == nullptr || valueSize == 0 || value[0] == L'\0') {
    return std::nullopt;
  }
  return Win32::ToUtf8(value);
}

std::optional<std::string> ReadVersionVariable(ModuleHandle module, std::uint32_t offset) {
  // ReadProcessMemory on our own process turns a bad address into a failed call, not a fault.
  const HANDLE self = GetCurrentProcess();
  const char* text = nullptr;
  SIZE_T read = 0;
  if (!ReadProcessMemory(self, reinterpret_cast<const void*>(module + offset), &text, sizeof text,
                         &read) ||
      read != sizeof text || text == nullptr) {
    return std::nullopt;
  }
  std::string result;
  for (;;) {
    char chunk[64];
    if (!ReadProcessMemory(self, text + result.size(), chunk, 1, &read) || read != 1) {
      return std::nullopt;
    }
    if (chunk[0] == '\0') return result;
    result += chunk[0];
    if (result.size() > 4096) return std::nullopt;
  }
}

}  // namespace Platform
