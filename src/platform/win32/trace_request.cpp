#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/trace_request.h"

// The asking side: a named file mapping for the answer, and a remote thread started at the
// process's export, found in the export table of its executable as it lies in its memory.
namespace Platform {
namespace {

template <typename T>
bool ReadRemote(HANDLE process, std::uintptr_t address, T& value) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), &value, sizeof value,
                           &read) &&
         read == sizeof value;
}

// The executable's load address: the image base its process environment block names.
std::uintptr_t RemoteImageBase(HANDLE process) {
  using TQuery = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<TQuery>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  struct {
    PVOID Reserved1;
    PVOID PebBaseAddress;
    PVOID Reserved2[2];
    ULONG_PTR UniqueProcessId;
    PVOID Reserved3;
  } basic{};
  if (query == nullptr || query(process, 0, &basic, sizeof basic, nullptr) != 0) return 0;
  // ImageBaseAddress follows two pointer-sized fields' worth of flags and the mutant handle.
  std::uintptr_t base = 0;
  const std::uintptr_t field =
      reinterpret_cast<std::uintptr_t>(basic.PebBaseAddress) + 2 * sizeof(void*);
  return ReadRemote(process, field, base) ? base : 0;
}

std::uintptr_t RemoteExport(HANDLE process, std::uintptr_t base, const char* wanted) {
  IMAGE_DOS_HEADER dos{};
  IMAGE_NT_HEADERS nt{};
  if (!ReadRemote(process, base, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
      !ReadRemote(process, base + static_cast<std::uintptr_t>(dos.e_lfanew), nt))
    return 0;
  const IMAGE_DATA_DIRECTORY directory =
      nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  IMAGE_EXPORT_DIRECTORY exports{};
  if (directory.VirtualAddress == 0 ||
      !ReadRemote(process, base + directory.VirtualAddress, exports))
    return 0;
  const std::size_t wantedLength = std::strlen(wanted) + 1;
  for (DWORD i = 0; i < exports.NumberOfNames && i < 65536; ++i) {
    DWORD nameRva = 0;
    WORD ordinal = 0;
    DWORD functionRva = 0;
    if (!ReadRemote(process, base + exports.AddressOfNames + i * sizeof(DWORD), nameRva)) break;
    std::vector<char> name(wantedLength);
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(base + nameRva), name.data(),
                           name.size(), &read) ||
        std::memcmp(name.data(), wanted, wantedLength) != 0)
      continue;
    if (!ReadRemote(process, base + exports.AddressOfNameOrdinals + i * sizeof(WORD), ordinal) ||
        ordinal >= exports.NumberOfFunctions ||
        !ReadRemote(process, base + exports.AddressOfFunctions + ordinal * sizeof(DWORD),
                    functionRva))
      return 0;
    return base + functionRva;
  }
  return 0;
}

}  // namespace

TTraceAnswer RequestTrace(std::uint32_t processId, std::int32_t limit,
                          std::uint32_t timeoutMilliseconds) {
  if (limit < 1) limit = 1;
  TTraceAnswer answer;
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(limit), L"OrloTraceProcessMap");
  if (mapping == nullptr) return answer;
  HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                   PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                               FALSE, processId);
  if (process != nullptr) {
    const std::uintptr_t base = RemoteImageBase(process);
    const std::uintptr_t entry = base != 0 ? RemoteExport(process, base, "OrloTraceProcess") : 0;
    HANDLE thread = entry == 0
                        ? nullptr
                        : CreateRemoteThread(
                              process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(entry),
                              reinterpret_cast<LPVOID>(static_cast<INT_PTR>(limit)), 0, nullptr);
    if (base != 0 && entry == 0) answer.Outcome = TTraceOutcome::NotListening;
    DWORD exitCode = 1;
    if (thread != nullptr) {
      answer.Outcome = TTraceOutcome::NoAnswer;
      if (WaitForSingleObject(thread, timeoutMilliseconds) == WAIT_OBJECT_0 &&
          GetExitCodeThread(thread, &exitCode)) {
        // The entry ends with 1 when the program has not installed it.
        if (exitCode == 1) answer.Outcome = TTraceOutcome::NotListening;
      }
    }
    if (exitCode == 0) {
      if (const auto* view =
              static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0))) {
        answer.Outcome = TTraceOutcome::Answered;
        answer.Text = std::string(view, strnlen(view, static_cast<std::size_t>(limit)));
        UnmapViewOfFile(view);
      }
    }
    if (thread != nullptr) CloseHandle(thread);
    CloseHandle(process);
  }
  CloseHandle(mapping);
  return answer;
}

}  // namespace Platform
