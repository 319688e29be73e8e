#include "platform/report_file_io.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/utf16.h"

namespace Platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// Large writes go in pieces that a DWORD can count.
constexpr std::size_t kMaxChunk = 1u << 30;

}  // namespace

std::optional<ExclusiveFile> ExclusiveFile::Open(const std::string& path, bool mustBeNew) {
  const HANDLE handle =
      CreateFileW(Win32::ToUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  mustBeNew ? CREATE_NEW : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  return ExclusiveFile(reinterpret_cast<std::intptr_t>(handle));
}

bool ExclusiveFile::ReplaceContent(const void* data, std::size_t size) {
  if (handle_ == kInvalid) return false;
  if (!SetFilePointerEx(AsHandle(handle_), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t left = size;
  while (left > 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(left, kMaxChunk));
    if (!WriteFile(AsHandle(handle_), bytes, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    bytes += written;
    left -= written;
  }
  return SetEndOfFile(AsHandle(handle_)) != 0;
}

void ExclusiveFile::Close() {
  if (handle_ == kInvalid) return;
  CloseHandle(AsHandle(handle_));
  handle_ = kInvalid;
}

bool CreateFolder(const std::string& path) {
  const std::wstring wide = Win32::ToUtf16(path);
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace Platform
