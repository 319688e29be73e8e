#include "platform/resources.h"

#include <windows.h>

#include "platform/win32/utf16.h"

namespace Platform {

ModuleHandle MainModule() {
  return reinterpret_cast<ModuleHandle>(GetModuleHandleW(nullptr));
}

std::optional<std::span<const std::uint8_t>> FindRawResource(ModuleHandle module,
                                                             std::string_view name) {
  const HMODULE instance = reinterpret_cast<HMODULE>(module);
  const std::wstring wideName = Win32::ToUtf16(name);
  HRSRC info = FindResourceW(instance, wideName.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info) return std::nullopt;
  HGLOBAL loaded = LoadResource(instance, info);
  if (!loaded) return std::nullopt;
  const void* data = LockResource(loaded);
  const DWORD size = SizeofResource(instance, info);
  if (!data) return std::nullopt;
  return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data), size);
}

}  // namespace Platform
