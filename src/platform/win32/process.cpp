#include "platform/process.h"

#include <windows.h>

#include "platform/win32/utf16.h"

namespace Platform {

std::string RawCommandLine() {
  const wchar_t* commandLine = GetCommandLineW();
  return commandLine != nullptr ? Win32::ToUtf8(commandLine) : std::string();
}

bool StartProcess(const std::string& commandLine, bool wait) {
  try {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring mutableCommandLine = Win32::ToUtf16(commandLine);
    STARTUPINFOW startupInfo{};
    startupInfo.cb = sizeof(startupInfo);
    startupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startupInfo.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION processInfo{};
    if (!CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startupInfo, &processInfo)) {
      return false;
    }
    if (wait) WaitForSingleObject(processInfo.hProcess, INFINITE);
    CloseHandle(processInfo.hThread);
    CloseHandle(processInfo.hProcess);
    return true;
  } catch (...) {
    return false;
  }
}

std::string ExecutablePath() {
  // Grows the buffer until the whole path fits: paths may be longer than MAX_PATH.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return Win32::ToUtf8(path);
    }
    if (path.size() >= 0x10000) return {};
    path.resize(path.size() * 2);
  }
}

std::string ExecutableDirectory() {
  const std::string path = ExecutablePath();
  const std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return "\\";
  return path.substr(0, separator + 1);
}

std::string EnvironmentValue(const std::string& name) {
  const std::wstring wideName = Win32::ToUtf16(name);
  if (wideName.empty()) return {};
  std::wstring value(256, L'\0');
  for (;;) {
    const DWORD length =
        GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) {
      value.resize(length);
      return Win32::ToUtf8(value);
    }
    // Too small: length is the size needed, terminating NUL included.
    value.resize(length);
  }
}

std::string ProfileDirectory() {
  std::string profile = EnvironmentValue("USERPROFILE");
  if (profile.empty() || profile.back() != '\\') profile += '\\';
  return profile;
}

void SleepMilliseconds(std::uint32_t milliseconds) {
  Sleep(milliseconds);
}

}  // namespace Platform
