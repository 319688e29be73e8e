#include "platform/process_shared.h"

#include <windows.h>

#include <cstdio>

#include "platform/win32/utf16.h"

namespace Platform {

std::string ProcessObjectName(std::string_view baseName) {
  char pid[16];
  std::snprintf(pid, sizeof(pid), "%lx", static_cast<unsigned long>(GetCurrentProcessId()));
  return std::string(baseName) + "$" + pid;
}

ProcessNamedLock::ProcessNamedLock(std::string_view baseName) {
  const std::wstring name = Win32::ToUtf16(ProcessObjectName(baseName));
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (!mutex) return;
  handle_ = reinterpret_cast<std::uintptr_t>(mutex);
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  // An abandoned mutex is ours all the same; its former holder ended while holding it.
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

ProcessNamedLock::~ProcessNamedLock() {
  HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
  if (held_) ReleaseMutex(mutex);
  if (mutex) CloseHandle(mutex);
}

bool ProcessPointerSlot::Open(std::string_view baseName, bool& created) {
  Close();
  const std::wstring name = Win32::ToUtf16(ProcessObjectName(baseName));
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(void*), name.c_str());
  if (!mapping) return false;
  created = GetLastError() != ERROR_ALREADY_EXISTS;
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(void*));
  if (!view) {
    CloseHandle(mapping);
    return false;
  }
  handle_ = reinterpret_cast<std::uintptr_t>(mapping);
  view_ = view;
  creator_ = created;
  return true;
}

void* ProcessPointerSlot::Get() const {
  return view_ ? *static_cast<void* volatile*>(view_) : nullptr;
}

void ProcessPointerSlot::Set(void* value) {
  if (view_) *static_cast<void* volatile*>(view_) = value;
}

void ProcessPointerSlot::Close() {
  if (view_) UnmapViewOfFile(view_);
  if (handle_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  view_ = nullptr;
  handle_ = 0;
  creator_ = false;
}

}  // namespace Platform
