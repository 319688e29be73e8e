#include <windows.h>

#include <cstddef>
#include <vector>

#include "platform/system_lists.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

constexpr ULONG kSystemProcessInformation = 5;

// The leading fields of a record of the system process snapshot, laid out as the kernel
// writes them for this build's pointer size.
struct TCountedText {
  USHORT Length;  // bytes
  USHORT MaximumLength;
  const wchar_t* Buffer;
};
struct TSystemProcessRecord {
  ULONG NextEntryOffset;
  ULONG NumberOfThreads;
  BYTE Reserved[48];
  TCountedText ImageName;
  LONG BasePriority;
  HANDLE UniqueProcessId;
  HANDLE InheritedFromUniqueProcessId;
  ULONG HandleCount;
  ULONG SessionId;
};
static_assert(offsetof(TSystemProcessRecord, ImageName) == 0x38);
static_assert(offsetof(TSystemProcessRecord, UniqueProcessId) ==
              (sizeof(void*) == 8 ? 0x50 : 0x44));
static_assert(offsetof(TSystemProcessRecord, SessionId) == (sizeof(void*) == 8 ? 0x64 : 0x50));

using TNtQuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
using TGetModuleFileNameExW = DWORD(WINAPI*)(HANDLE, HMODULE, wchar_t*, DWORD);
using TGetGuiResources = DWORD(WINAPI*)(HANDLE, DWORD);

// Looked up once and kept for the life of the process.
TNtQuerySystemInformation NtQuerySystemInformationProc() {
  static const auto proc = reinterpret_cast<TNtQuerySystemInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  return proc;
}

TGetModuleFileNameExW GetModuleFileNameExWProc() {
  static const auto proc = [] {
    const HMODULE psapi = LoadLibraryW(L"psapi.dll");
    return psapi == nullptr ? nullptr
                            : reinterpret_cast<TGetModuleFileNameExW>(reinterpret_cast<void*>(
                                  GetProcAddress(psapi, "GetModuleFileNameExW")));
  }();
  return proc;
}

TGetGuiResources GetGuiResourcesProc() {
  static const auto proc = [] {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) user32 = LoadLibraryW(L"user32.dll");
    return user32 == nullptr ? nullptr
                             : reinterpret_cast<TGetGuiResources>(reinterpret_cast<void*>(
                                   GetProcAddress(user32, "GetGuiResources")));
  }();
  return proc;
}

// One snapshot: the size the system asks for, doubled; without an answer growing buffers from
// 128 KiB to 4 MiB. Empty when no query succeeds.
std::vector<BYTE> ProcessSnapshot() {
  const TNtQuerySystemInformation query = NtQuerySystemInformationProc();
  if (query == nullptr) return {};
  ULONG needed = 0;
  query(kSystemProcessInformation, nullptr, 0, &needed);
  if (needed != 0) {
    if (needed > MAXLONG / 2) return {};
    std::vector<BYTE> buffer(static_cast<std::size_t>(needed) * 2, 0);
    if (query(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
              &needed) < 0) {
      return {};
    }
    return buffer;
  }
  for (ULONG size = 131072;; size *= 2) {
    std::vector<BYTE> buffer(size, 0);
    if (query(kSystemProcessInformation, buffer.data(), size, &needed) >= 0) return buffer;
    if (size >= 4194304) return {};
  }
}

std::string SystemDirectory() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return Win32::ToUtf8(std::wstring_view(folder, length));
}

// The path of the process's main module when it can be read, else the image name.
std::string ImageText(const TSystemProcessRecord& record, std::uint32_t id) {
  if (record.ImageName.Buffer == nullptr || record.ImageName.Length == 0) return "Idle";
  std::string text = Win32::ToUtf8(
      std::wstring_view(record.ImageName.Buffer, record.ImageName.Length / sizeof(wchar_t)));
  const TGetModuleFileNameExW moduleFileName = GetModuleFileNameExWProc();
  if (moduleFileName == nullptr) return text;
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (process == nullptr) return text;
  wchar_t path[MAX_PATH];
  const DWORD length = moduleFileName(process, nullptr, path, MAX_PATH);
  if (length > 0) {
    static const std::string systemDirectory = SystemDirectory();
    text = DosImagePath(Win32::ToUtf8(std::wstring_view(path, length)), systemDirectory);
  }
  CloseHandle(process);
  return text;
}

void AddPriorityAndObjects(TProcessRecord& process) {
  if (process.ProcessId == 0) return;
  const HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process.ProcessId);
  if (handle == nullptr) return;
  process.PriorityClass = static_cast<std::int32_t>(GetPriorityClass(handle));
  if (const TGetGuiResources guiResources = GetGuiResourcesProc()) {
    process.GdiObjects = guiResources(handle, 0);
    process.UserObjects = guiResources(handle, 1);
  }
  CloseHandle(handle);
}

}  // namespace

std::uint32_t CurrentProcessId() {
  return GetCurrentProcessId();
}

std::vector<TProcessRecord> ListProcesses() {
  std::vector<TProcessRecord> processes;
  processes.reserve(64);
  const std::vector<BYTE> snapshot = ProcessSnapshot();
  std::size_t offset = 0;
  while (offset + sizeof(TSystemProcessRecord) <= snapshot.size()) {
    const auto& record = *reinterpret_cast<const TSystemProcessRecord*>(snapshot.data() + offset);
    TProcessRecord process;
    process.ProcessId =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record.UniqueProcessId));
    process.SessionId = record.SessionId;
    const std::string text = ImageText(record, process.ProcessId);
    const std::size_t separator = text.rfind('\\');
    if (separator == std::string::npos) {
      process.FileName = text;
    } else {
      process.FileName = text.substr(separator + 1);
      process.Directory = text.substr(0, separator);
    }
    AddPriorityAndObjects(process);
    processes.push_back(std::move(process));
    if (record.NextEntryOffset == 0) break;
    offset += record.NextEntryOffset;
  }
  return processes;
}

}  // namespace Platform
