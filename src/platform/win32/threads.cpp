#include "platform/threads.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>

#include "platform/win32/utf16.h"

namespace Platform {
namespace {

// Thread descriptions came with Windows 10 1607; older systems lack the functions.
template <class TFunction>
TFunction KernelFunction(const char* name) {
  for (const wchar_t* library : {L"kernel32.dll", L"kernelbase.dll"}) {
    if (const HMODULE module = GetModuleHandleW(library)) {
      if (const FARPROC function = GetProcAddress(module, name)) {
        return reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(function));
      }
    }
  }
  return nullptr;
}

using TGetThreadDescription = HRESULT(WINAPI*)(HANDLE, PWSTR*);
using TSetThreadDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);

std::vector<ThreadId> ThreadsOfThisProcess() {
  std::vector<ThreadId> threads;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return threads;
  const DWORD process = GetCurrentProcessId();
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == process) threads.push_back(entry.th32ThreadID);
    entry.dwSize = sizeof entry;
  }
  CloseHandle(snapshot);
  return threads;
}

// The oldest living thread: the process's first thread unless that one has ended.
ThreadId EarliestThread() {
  ThreadId earliest = 0;
  ULONGLONG earliestTime = ~0ULL;
  for (const ThreadId thread : ThreadsOfThisProcess()) {
    const HANDLE handle = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread);
    if (handle == nullptr) continue;
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (GetThreadTimes(handle, &creation, &exit, &kernel, &user)) {
      const ULONGLONG time = (ULONGLONG{creation.dwHighDateTime} << 32) | creation.dwLowDateTime;
      if (time < earliestTime) {
        earliestTime = time;
        earliest = thread;
      }
    }
    CloseHandle(handle);
  }
  return earliest;
}

// The C runtime runs the static initialisers on the thread that started the process.
const ThreadId gStartingThread = GetCurrentThreadId();

}  // namespace

ThreadId CurrentThreadId() {
  return GetCurrentThreadId();
}

ThreadId MainThreadId() {
  // Asked during another unit's static initialisation, before ours has run.
  if (gStartingThread == 0) {
    static const ThreadId earliest = EarliestThread();
    return earliest;
  }
  return gStartingThread;
}

std::vector<ThreadId> ListThreads() {
  std::vector<ThreadId> threads = ThreadsOfThisProcess();
  const auto main = std::find(threads.begin(), threads.end(), MainThreadId());
  if (main != threads.end()) std::rotate(threads.begin(), main, main + 1);
  return threads;
}

std::string ThreadName(ThreadId thread) {
  static const auto getDescription = KernelFunction<TGetThreadDescription>("GetThreadDescription");
  if (getDescription == nullptr) return {};
  const HANDLE handle = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread);
  if (handle == nullptr) return {};
  std::string name;
  PWSTR description = nullptr;
  if (SUCCEEDED(getDescription(handle, &description)) && description != nullptr) {
    name = Win32::ToUtf8(description);
  }
  if (description != nullptr) LocalFree(description);
  CloseHandle(handle);
  return name;
}

bool SetCurrentThreadName(const std::string& name) {
  static const auto setDescription = KernelFunction<TSetThreadDescription>("SetThreadDescription");
  if (setDescription == nullptr) return false;
  return SUCCEEDED(setDescription(GetCurrentThread(), Win32::ToUtf16(name).c_str()));
}

}  // namespace Platform
