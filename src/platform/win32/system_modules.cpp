#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/system_lists.h"
#include "platform/win32/utf16.h"
#include "rtl/text.h"

namespace Platform {
namespace {

// The name the file system reports for a path, as FindFirstFileW spells it.
std::optional<std::string> FileSystemName(const std::string& path) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(Win32::ToUtf16(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return Win32::ToUtf8(found.cFileName);
}

// The fixed file version; when both of its words are zero, the FileVersion text of the first
// translation. Empty for a file without version resource.
std::string FileVersionText(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
      fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO) &&
      (fixed->dwFileVersionMS != 0 || fixed->dwFileVersionLS != 0)) {
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                  LOWORD(fixed->dwFileVersionLS));
    return text;
  }

  struct TTranslation {
    WORD Language;
    WORD CodePage;
  };
  TTranslation* translations = nullptr;
  UINT translationsSize = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &translationsSize) ||
      translations == nullptr || translationsSize < sizeof(TTranslation)) {
    return {};
  }
  wchar_t key[64];
  std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[0].Language,
                translations[0].CodePage);
  wchar_t* value = nullptr;
  UINT valueSize = 0;
  if (!VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&value), &valueSize) ||
      value == nullptr) {
    return {};
  }
  return RTL::Text::Trim(Win32::ToUtf8(std::wstring_view(value, wcsnlen(value, valueSize))));
}

}  // namespace

std::vector<TModuleRecord> ListModules() {
  std::vector<TModuleRecord> modules;
  modules.reserve(32);
  MEMORY_BASIC_INFORMATION region{};
  std::uintptr_t address = 0;
  bool first = true;
  void* previousAllocation = nullptr;
  while (VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region) != 0) {
    // An image mapped as several regions counts once, at the region of its allocation base.
    const bool startsModule = region.State == MEM_COMMIT &&
                              region.AllocationBase == region.BaseAddress &&
                              (first || region.AllocationBase != previousAllocation);
    if (startsModule) {
      wchar_t name[MAX_PATH];
      const DWORD length =
          GetModuleFileNameW(static_cast<HMODULE>(region.AllocationBase), name, MAX_PATH);
      if (length > 0) {
        const std::wstring shortPath(name, length);
        const std::string path = LongPathName(Win32::ToUtf8(shortPath), FileSystemName);
        TModuleRecord module;
        module.Base = reinterpret_cast<std::uintptr_t>(region.AllocationBase);
        const std::size_t separator = path.rfind('\\');
        module.FileName = separator == std::string::npos ? path : path.substr(separator + 1);
        module.Directory =
            separator == std::string::npos ? std::string() : path.substr(0, separator);
        module.Version = FileVersionText(Win32::ToUtf16(path));
        modules.push_back(std::move(module));
      }
    }
    first = false;
    previousAllocation = region.AllocationBase;
    const std::uintptr_t next = address + region.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return modules;
}

}  // namespace Platform
