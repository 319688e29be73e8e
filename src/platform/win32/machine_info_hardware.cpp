#include <windows.h>

#include <cwctype>

#include "platform/machine_info.h"
#include "platform/process.h"
#include "platform/win32/machine_info_registry.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

// "C:" for a path that starts with a drive letter; empty for any other (UNC, relative).
std::wstring DriveOf(const std::wstring& path) {
  if (path.size() < 2 || path[1] != L':' || !std::iswalpha(path[0])) return {};
  return std::wstring(1, static_cast<wchar_t>(std::towupper(path[0]))) + L":";
}

std::wstring WindowsFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryW(folder, MAX_PATH + 1);
  return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(folder, length);
}

void AddDrive(std::vector<TDiskSpace>& disks, const std::wstring& drive) {
  if (drive.empty()) return;
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW((drive + L"\\").c_str(), &available, nullptr, nullptr)) return;
  disks.push_back({Win32::ToUtf8(drive), available.QuadPart});
}

std::wstring ProcessorKey(int index) {
  return L"hardware\\description\\system\\centralProcessor\\" + std::to_wstring(index);
}

}  // namespace

TProcessorInfo QueryProcessors() {
  TProcessorInfo info;
  while (info.Count < kMaxProcessorCount) {
    const auto name =
        Win32::ReadMachineText(ProcessorKey(info.Count).c_str(), L"ProcessorNameString");
    if (!name) break;
    if (info.Count == 0) info.Name = *name;
    ++info.Count;
  }
  return info;
}

std::optional<TPhysicalMemory> QueryPhysicalMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return std::nullopt;
  return TPhysicalMemory{status.ullAvailPhys, status.ullTotalPhys};
}

std::vector<TDiskSpace> QueryFreeDiskSpace() {
  std::vector<TDiskSpace> disks;
  const std::wstring system = DriveOf(WindowsFolder());
  const std::wstring executable = DriveOf(Win32::ToUtf16(ExecutablePath()));
  AddDrive(disks, system);
  if (executable != system) AddDrive(disks, executable);
  return disks;
}

std::optional<TDisplayMode> QueryDisplayMode() {
  const HDC screen = GetDC(nullptr);
  if (screen == nullptr) return std::nullopt;
  TDisplayMode mode;
  mode.Width = GetDeviceCaps(screen, HORZRES);
  mode.Height = GetDeviceCaps(screen, VERTRES);
  mode.BitsPerPixel = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  if (mode.Width <= 0 || mode.Height <= 0) return std::nullopt;
  return mode;
}

}  // namespace Platform
