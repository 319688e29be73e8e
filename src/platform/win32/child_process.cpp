#include "platform/child_process.h"

#include <windows.h>

#include "platform/win32/utf16.h"

namespace Platform {

CapturedRun RunCaptured(const std::string& commandLine, std::uint32_t timeoutMilliseconds) {
  CapturedRun run;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return run;
  // Only the child's end is inherited.
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  std::wstring mutableCommandLine = Win32::ToUtf16(commandLine);
  STARTUPINFOW startupInfo{};
  startupInfo.cb = sizeof(startupInfo);
  startupInfo.dwFlags = STARTF_USESTDHANDLES;
  startupInfo.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startupInfo.hStdOutput = writeEnd;
  startupInfo.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION processInfo{};
  const BOOL created = CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startupInfo, &processInfo);
  CloseHandle(writeEnd);
  if (!created) {
    CloseHandle(readEnd);
    return run;
  }
  run.started = true;

  // Poll instead of blocking in ReadFile: programs the child started may inherit the pipe
  // and keep it open long after the child has ended.
  const ULONGLONG deadline = GetTickCount64() + timeoutMilliseconds;
  auto drain = [&] {
    DWORD available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char buffer[4096];
      DWORD count = 0;
      const DWORD wanted = available < sizeof(buffer) ? available : sizeof(buffer);
      if (!ReadFile(readEnd, buffer, wanted, &count, nullptr) || count == 0) break;
      run.output.append(buffer, count);
    }
  };
  for (;;) {
    drain();
    if (WaitForSingleObject(processInfo.hProcess, 10) == WAIT_OBJECT_0) break;
    if (GetTickCount64() > deadline) {
      run.timedOut = true;
      TerminateProcess(processInfo.hProcess, 255);
      WaitForSingleObject(processInfo.hProcess, INFINITE);
      break;
    }
  }
  drain();
  DWORD exitCode = 0;
  GetExitCodeProcess(processInfo.hProcess, &exitCode);
  run.exitCode = static_cast<int>(exitCode);
  CloseHandle(readEnd);
  CloseHandle(processInfo.hThread);
  CloseHandle(processInfo.hProcess);
  return run;
}

}  // namespace Platform
