#include "platform/restart_handover.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstring>
#include <string>

#include "platform/process.h"
#include "platform/process_exit.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

// The block: old process id, the block's handle duplicated into the new process, payload.
constexpr std::size_t kPidOffset = 0;
constexpr std::size_t kHandleOffset = 4;
constexpr std::size_t kPayloadOffset = 8;
constexpr DWORD kBlockSize = kPayloadOffset + sizeof(TRestartPayload);
constexpr std::uint32_t kRestartExitCode = 2;
// The old process ends right after it resumed the new one: this only bounds a stuck one.
constexpr DWORD kEndWaitMilliseconds = 5000;

std::wstring BlockName(DWORD processId) {
  std::wstring hex;
  do {
    hex.insert(hex.begin(), L"0123456789abcdef"[processId & 0xF]);
    processId >>= 4;
  } while (processId != 0);
  return L"ExvoraRestart$" + hex;
}

std::wstring CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring directory(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, directory.data());
  if (length == 0 || length >= size) return {};
  directory.resize(length);
  return directory;
}

// The process that started this one; Windows keeps its id after it has ended. 0 when unknown.
DWORD ParentProcessId() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  DWORD parent = 0;
  const DWORD self = GetCurrentProcessId();
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
      break;
    }
  }
  CloseHandle(snapshot);
  return parent;
}

// Creates the block for the new process and fills it; false when that failed.
bool WriteBlock(const PROCESS_INFORMATION& process, const TRestartPayload& payload) {
  const std::wstring name = BlockName(process.dwProcessId);
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockSize,
                                      name.c_str());
  if (mapping == nullptr) return false;
  void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, kBlockSize);
  HANDLE duplicate = nullptr;
  // The new process's own handle keeps the block alive should this process end before the
  // new one has opened it by name.
  if (view == nullptr || !DuplicateHandle(GetCurrentProcess(), mapping, process.hProcess,
                                          &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    if (view != nullptr) UnmapViewOfFile(view);
    CloseHandle(mapping);
    return false;
  }
  auto* bytes = static_cast<unsigned char*>(view);
  const std::uint32_t oldPid = GetCurrentProcessId();
  // Handles are 32-bit values in every process, 64-bit ones included.
  const auto handle = static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(duplicate));
  std::memcpy(bytes + kPidOffset, &oldPid, sizeof(oldPid));
  std::memcpy(bytes + kHandleOffset, &handle, sizeof(handle));
  std::memcpy(bytes + kPayloadOffset, payload.data(), payload.size());
  UnmapViewOfFile(view);
  // The mapping handle stays open until this process ends.
  return true;
}

}  // namespace

std::optional<TRestartPayload> TakeRestartHandover() {
  const std::wstring name = BlockName(GetCurrentProcessId());
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name.c_str());
  if (mapping == nullptr) return std::nullopt;
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, kBlockSize);
  if (view == nullptr) {
    CloseHandle(mapping);
    return std::nullopt;
  }
  const auto* bytes = static_cast<const unsigned char*>(view);
  std::uint32_t oldPid = 0;
  std::uint32_t handle = 0;
  TRestartPayload payload;
  std::memcpy(&oldPid, bytes + kPidOffset, sizeof(oldPid));
  std::memcpy(&handle, bytes + kHandleOffset, sizeof(handle));
  std::memcpy(payload.data(), bytes + kPayloadOffset, payload.size());

  // The handle the old process gave us; ours to close now that we hold one of our own.
  if (handle != 0 && reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle)) != mapping) {
    CloseHandle(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle)));
  }
  UnmapViewOfFile(view);
  CloseHandle(mapping);
  // Only the process that started this one hands over to it.
  if (oldPid == 0 || oldPid == GetCurrentProcessId() || oldPid != ParentProcessId()) {
    return std::nullopt;
  }
  // A process already gone cannot be opened: nothing to wait for then.
  if (HANDLE old = OpenProcess(SYNCHRONIZE, FALSE, oldPid)) {
    WaitForSingleObject(old, kEndWaitMilliseconds);
    CloseHandle(old);
  }
  return payload;
}

bool RestartOwnProcess(const TRestartPayload& payload) {
  const std::wstring program = Win32::ToUtf16(ExecutablePath());
  std::wstring commandLine = GetCommandLineW();
  const std::wstring directory = CurrentDirectory();
  STARTUPINFOW startupInfo{};
  startupInfo.cb = sizeof(startupInfo);
  PROCESS_INFORMATION process{};
  // Suspended: the new process must not look for its block before it is there.
  if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), commandLine.data(), nullptr,
                      nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startupInfo, &process)) {
    return false;
  }
  if (!WriteBlock(process, payload)) {
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return false;
  }
  ResumeThread(process.hThread);
  ExitProcessNow(kRestartExitCode);
}

}  // namespace Platform
