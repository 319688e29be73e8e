#include "platform/shared_block.h"

#include <windows.h>

#include <cstring>

#include "platform/process_shared.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

// The block starts with the mutex handle, kept 8 bytes wide for both word sizes.
constexpr std::size_t kHeader = 8;

}  // namespace

bool TSharedBlock::Open(std::string_view baseName, std::size_t size, bool& created) {
  Close();
  // Creating the mapping and storing the mutex in it is one step for every other opener.
  ProcessNamedLock openLock(std::string(baseName) + "Open");
  const std::wstring name = Win32::ToUtf16(ProcessObjectName(baseName));
  const std::uint64_t total = kHeader + size;
  HANDLE mapping =
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                         static_cast<DWORD>(total >> 32), static_cast<DWORD>(total), name.c_str());
  if (!mapping) return false;
  created = GetLastError() != ERROR_ALREADY_EXISTS;
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, static_cast<SIZE_T>(total));
  if (!view) {
    CloseHandle(mapping);
    return false;
  }
  auto* header = static_cast<std::uint64_t*>(view);
  if (created) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    *header = reinterpret_cast<std::uintptr_t>(mutex);
  }
  mapping_ = reinterpret_cast<std::uintptr_t>(mapping);
  view_ = view;
  data_ = static_cast<std::uint8_t*>(view) + kHeader;
  mutex_ = reinterpret_cast<void*>(static_cast<std::uintptr_t>(*header));
  return true;
}

void TSharedBlock::Close() {
  if (view_) UnmapViewOfFile(view_);
  if (mapping_) CloseHandle(reinterpret_cast<HANDLE>(mapping_));
  // The mutex belongs to the block and lives as long as the process.
  mapping_ = 0;
  view_ = data_ = mutex_ = nullptr;
}

bool TSharedBlock::Lock(std::int32_t timeoutMilliseconds) {
  if (mutex_ == nullptr) return false;
  const DWORD wait = timeoutMilliseconds < 0 ? INFINITE : static_cast<DWORD>(timeoutMilliseconds);
  const DWORD result = WaitForSingleObject(static_cast<HANDLE>(mutex_), wait);
  return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void TSharedBlock::Unlock() {
  if (mutex_ != nullptr) ReleaseMutex(static_cast<HANDLE>(mutex_));
}

}  // namespace Platform
