#include <windows.h>

#include <algorithm>

#include "platform/machine_info.h"
#include "platform/memory_map.h"
#include "platform/module_info.h"
#include "platform/process.h"
#include "platform/win32/utf16.h"

namespace Platform {

std::uint64_t AllocatedMemoryOutsideModules() {
  std::uint64_t allocated = 0;
  for (const TMemoryRegion& region : QueryMemoryMap()) {
    if (region.Committed && region.ImagePath.empty()) allocated += region.End - region.Begin;
  }
  return allocated;
}

std::uint64_t LargestFreeAddressBlock() {
  std::uint64_t largest = 0;
  std::uintptr_t address = 0;
  MEMORY_BASIC_INFORMATION info{};
  while (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) == sizeof info) {
    const auto begin = reinterpret_cast<std::uintptr_t>(info.BaseAddress);
    if (info.RegionSize == 0 || begin + info.RegionSize <= address) break;
    if (info.State == MEM_FREE) largest = std::max<std::uint64_t>(largest, info.RegionSize);
    address = begin + info.RegionSize;
  }
  return largest;
}

std::optional<TFileDateTime> ExecutableWriteTime() {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Win32::ToUtf16(ExecutablePath()).c_str(), GetFileExInfoStandard,
                            &data)) {
    return std::nullopt;
  }
  SYSTEMTIME universal{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return std::nullopt;
  }
  return TFileDateTime{local.wYear, local.wMonth,  local.wDay,
                       local.wHour, local.wMinute, local.wSecond};
}

std::optional<std::string> LoadedLibraryVersion(std::string_view fileName) {
  const HMODULE module = GetModuleHandleW(Win32::ToUtf16(fileName).c_str());
  if (module == nullptr) return std::nullopt;
  return ModuleVersion(reinterpret_cast<ModuleHandle>(module)).value_or(std::string());
}

char DecimalSeparator() {
  wchar_t separator[8] = {};
  if (GetLocaleInfoW(GetThreadLocale(), LOCALE_SDECIMAL, separator, 8) == 0 ||
      separator[0] == L'\0' || separator[0] > 0x7F) {
    return ',';
  }
  return static_cast<char>(separator[0]);
}

}  // namespace Platform
