#include "platform/child_process.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/win32/scoped_win_handle.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

// A killed program is gone at once; this only keeps a stuck kernel from holding the caller.
constexpr DWORD kKillWaitMilliseconds = 60000;

DWORD MillisecondsLeft(ULONGLONG deadline) {
  const ULONGLONG now = GetTickCount64();
  return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// Anonymous pipes cannot be read with a deadline; a named one opened for overlapped reading
// can. The name is this process's and a counter's, a pipe that someone else created under it
// first is refused, and no other machine may connect to it.
bool MakeOutputPipe(Win32::KernelHandle& readEnd, Win32::KernelHandle& childEnd) {
  static std::atomic<unsigned> counter{0};
  const std::wstring name = L"\\\\.\\pipe\\Update-child-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(counter++);
  const HANDLE server = CreateNamedPipeW(
      name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 4096, 4096,
      0, nullptr);
  if (server == INVALID_HANDLE_VALUE) return false;
  readEnd = Win32::KernelHandle(server);
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE client = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (client == INVALID_HANDLE_VALUE) return false;
  childEnd = Win32::KernelHandle(client);
  return true;
}

// This process's standard error as a handle the child may inherit; empty when there is none.
Win32::KernelHandle InheritableStandardError() {
  const HANDLE ours = GetStdHandle(STD_ERROR_HANDLE);
  HANDLE copy = nullptr;
  if (ours == nullptr || ours == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(GetCurrentProcess(), ours, GetCurrentProcess(), &copy, 0, TRUE,
                       DUPLICATE_SAME_ACCESS)) {
    return {};
  }
  return Win32::KernelHandle(copy);
}

}  // namespace

struct ChildProcess::State {
  Win32::KernelHandle process;
  DWORD id = 0;
  Win32::KernelHandle input;
  Win32::KernelHandle output;  // overlapped; invalid once at its end
  Win32::KernelHandle readDone{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  OVERLAPPED overlapped{};
  bool reading = false;  // a read is under way into buffer
  char buffer[4096];
  std::string readAhead;

  ~State() { StopReading(); }

  // Takes what the finished read brought; closes the output at its end.
  void Finish(bool wait) {
    DWORD count = 0;
    const BOOL done = GetOverlappedResult(output.Get(), &overlapped, &count, wait);
    reading = false;
    if (done) {
      readAhead.append(buffer, count);
    } else if (GetLastError() != ERROR_OPERATION_ABORTED) {
      (void)output.Close();
    }
  }

  // Starts reads until one stays under way; false when the output is at its end.
  bool KeepReading() {
    while (output.Valid() && !reading) {
      ResetEvent(readDone.Get());
      overlapped = OVERLAPPED{};
      overlapped.hEvent = readDone.Get();
      if (ReadFile(output.Get(), buffer, sizeof(buffer), nullptr, &overlapped) ||
          GetLastError() == ERROR_IO_PENDING) {
        reading = true;
        if (HasOverlappedIoCompleted(&overlapped)) Finish(false);
      } else {
        (void)output.Close();
      }
    }
    return output.Valid();
  }

  // Takes the read that readDone reported.
  void TakeRead() { Finish(true); }

  // Takes what has come and leaves no read under way, as buffer must not be written after.
  void StopReading() {
    while (KeepReading() && HasOverlappedIoCompleted(&overlapped)) TakeRead();
    if (!reading) return;
    CancelIoEx(output.Get(), &overlapped);
    TakeRead();
  }

  int ExitCode() const {
    DWORD code = 0;
    return GetExitCodeProcess(process.Get(), &code) ? static_cast<int>(code) : -1;
  }
};

ChildProcess::ChildProcess(const std::string& commandLine) : state_(std::make_unique<State>()) {
  try {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInputHandle = nullptr;
    HANDLE inputHandle = nullptr;
    if (!state_->readDone.Valid() ||
        !CreatePipe(&childInputHandle, &inputHandle, &inheritable, 0)) {
      return;
    }
    Win32::KernelHandle childInput(childInputHandle);
    state_->input = Win32::KernelHandle(inputHandle);
    Win32::KernelHandle childOutput;
    if (!SetHandleInformation(inputHandle, HANDLE_FLAG_INHERIT, 0) ||
        !MakeOutputPipe(state_->output, childOutput)) {
      return;
    }
    const Win32::KernelHandle childError = InheritableStandardError();

    // Only these handles reach the program, whatever else of ours is inheritable right now.
    std::vector<HANDLE> inherited{childInput.Get(), childOutput.Get()};
    if (childError.Valid()) inherited.push_back(childError.Get());
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributeStorage(size);
    const auto attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeStorage.data());
    if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return;
    const bool listed = UpdateProcThreadAttribute(
        attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited.data(),
        inherited.size() * sizeof(HANDLE), nullptr, nullptr);
    STARTUPINFOEXW startupInfo{};
    startupInfo.StartupInfo.cb = sizeof(startupInfo);
    startupInfo.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startupInfo.StartupInfo.hStdInput = childInput.Get();
    startupInfo.StartupInfo.hStdOutput = childOutput.Get();
    startupInfo.StartupInfo.hStdError = childError.Get();
    startupInfo.lpAttributeList = attributes;
    std::wstring mutableCommandLine = Win32::ToUtf16(commandLine);
    PROCESS_INFORMATION processInfo{};
    const BOOL created =
        listed && CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, TRUE,
                                 EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                 &startupInfo.StartupInfo, &processInfo);
    DeleteProcThreadAttributeList(attributes);
    if (!created) return;
    CloseHandle(processInfo.hThread);
    state_->process = Win32::KernelHandle(processInfo.hProcess);
    state_->id = processInfo.dwProcessId;
  } catch (...) {
    state_->process = {};
  }
}

ChildProcess::~ChildProcess() {
  if (Started() && WaitForSingleObject(state_->process.Get(), 0) != WAIT_OBJECT_0) Kill();
}

bool ChildProcess::Started() const {
  return state_->process.Valid();
}

std::uint32_t ChildProcess::Id() const {
  return state_->id;
}

std::optional<std::string> ChildProcess::ReadLine(std::uint32_t timeoutMilliseconds) {
  if (!Started()) return std::nullopt;
  const ULONGLONG deadline = GetTickCount64() + timeoutMilliseconds;
  for (;;) {
    if (std::optional<std::string> line = TakeLine(state_->readAhead)) return line;
    if (!state_->KeepReading() ||
        WaitForSingleObject(state_->readDone.Get(), MillisecondsLeft(deadline)) != WAIT_OBJECT_0) {
      return std::nullopt;
    }
    state_->TakeRead();
  }
}

void ChildProcess::CloseInput() {
  (void)state_->input.Close();  // a program that already ended has nothing to be told
}

std::optional<int> ChildProcess::WaitForExit(std::uint32_t timeoutMilliseconds,
                                             std::string* output) {
  if (!Started()) return std::nullopt;
  const ULONGLONG deadline = GetTickCount64() + timeoutMilliseconds;
  bool ended = false;
  for (;;) {
    const DWORD left = MillisecondsLeft(deadline);
    DWORD woken;
    if (state_->KeepReading()) {
      const HANDLE events[] = {state_->process.Get(), state_->readDone.Get()};
      woken = WaitForMultipleObjects(2, events, FALSE, left);
    } else {
      woken = WaitForSingleObject(state_->process.Get(), left);
    }
    if (woken == WAIT_OBJECT_0 + 1) {
      state_->TakeRead();
      continue;
    }
    ended = woken == WAIT_OBJECT_0;
    break;
  }
  state_->StopReading();
  if (output) {
    *output += state_->readAhead;
    state_->readAhead.clear();
  }
  if (!ended) return std::nullopt;
  return state_->ExitCode();
}

int ChildProcess::Kill() {
  if (!Started()) return -1;
  if (WaitForSingleObject(state_->process.Get(), 0) != WAIT_OBJECT_0) {
    TerminateProcess(state_->process.Get(), 255);
    if (WaitForSingleObject(state_->process.Get(), kKillWaitMilliseconds) != WAIT_OBJECT_0) {
      return -1;
    }
  }
  return state_->ExitCode();
}

}  // namespace Platform
