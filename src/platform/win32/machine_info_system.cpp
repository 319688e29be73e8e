#include <windows.h>

#include "platform/machine_info.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

// RtlGetVersion answers with the real version even where GetVersionEx is shimmed.
using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);

bool KernelVersion(OSVERSIONINFOEXW& info) {
  info = {};
  info.dwOSVersionInfoSize = sizeof info;
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return false;
  const auto query = reinterpret_cast<RtlGetVersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  return query != nullptr && query(&info) == 0;
}

std::int64_t FileTimeUnits(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
}

}  // namespace

TOperatingSystem QueryOperatingSystem() {
  TOperatingSystem system;
  OSVERSIONINFOEXW info{};
  if (!KernelVersion(info)) return system;
  TOsVersion version;
  version.Major = info.dwMajorVersion;
  version.Minor = info.dwMinorVersion;
  version.Build = info.dwBuildNumber;
  version.Workstation = info.wProductType == VER_NT_WORKSTATION;
  version.R2 = GetSystemMetrics(SM_SERVERR2) != 0;
  version.TabletPc = GetSystemMetrics(SM_TABLETPC) != 0;
  version.Starter = GetSystemMetrics(SM_STARTER) != 0;
  version.MediaCenter = GetSystemMetrics(SM_MEDIACENTER) != 0;
  SYSTEM_INFO native{};
  GetNativeSystemInfo(&native);
  version.NativeX64 = native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
  version.ServicePack = Win32::ToUtf8(info.szCSDVersion);
  system.Version = version;
  return system;
}

std::string SystemLanguageName() {
  wchar_t name[128] = {};
  if (GetLocaleInfoW(GetSystemDefaultLCID(), LOCALE_SENGLANGUAGE, name, 128) == 0) return {};
  return Win32::ToUtf8(name);
}

std::optional<std::int64_t> SystemUpTimeSeconds() {
  LARGE_INTEGER counter{};
  LARGE_INTEGER frequency{};
  if (!QueryPerformanceCounter(&counter) || !QueryPerformanceFrequency(&frequency) ||
      frequency.QuadPart <= 0) {
    return std::nullopt;
  }
  return counter.QuadPart / frequency.QuadPart;
}

std::optional<std::int64_t> ProcessUpTimeMilliseconds() {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
    return std::nullopt;
  }
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const std::int64_t elapsed = FileTimeUnits(now) - FileTimeUnits(created);  // 100 ns units
  if (elapsed < 0) return std::nullopt;
  return elapsed / 10000;
}

}  // namespace Platform
