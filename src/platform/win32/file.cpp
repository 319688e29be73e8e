#include "platform/file.h"

#include <windows.h>

#include <algorithm>
#include <exception>

#include "platform/win32/system_error_text.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// Large transfers go in pieces that a DWORD can count.
constexpr std::size_t kMaxChunk = 1u << 30;
constexpr std::size_t kReadChunk = 1u << 16;

}  // namespace

Result<File> File::Open(const std::string& path, Mode mode) {
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case Mode::OpenExistingReadWrite:
      break;
    case Mode::CreateAlwaysReadWrite:
      disposition = CREATE_ALWAYS;
      break;
    case Mode::OpenExistingRead:
      access = GENERIC_READ;
      break;
  }
  // A writer may remove the file while it holds it, so that nobody can take it over between
  // its release and its removal; others still cannot write it.
  const DWORD sharing =
      access & GENERIC_WRITE ? FILE_SHARE_READ | FILE_SHARE_DELETE : FILE_SHARE_READ;
  const HANDLE handle = CreateFileW(Win32::ToUtf16(path).c_str(), access, sharing, nullptr,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Win32::LastErrorFailure();
  // A pipe, a console or a device would block a read or never end.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return Win32::ErrorFailure(ERROR_INVALID_FUNCTION);
  }
  return File(reinterpret_cast<std::intptr_t>(handle));
}

bool File::ReadToEnd(std::vector<std::uint8_t>& out) {
  out.clear();
  if (!IsOpen()) return false;
  try {
    LARGE_INTEGER size{};
    LARGE_INTEGER position{};
    if (GetFileSizeEx(AsHandle(handle_), &size) &&
        SetFilePointerEx(AsHandle(handle_), LARGE_INTEGER{}, &position, FILE_CURRENT) &&
        size.QuadPart > position.QuadPart) {
      // Room for the final empty read as well, so that it does not reallocate.
      out.reserve(static_cast<std::size_t>(size.QuadPart - position.QuadPart) + kReadChunk);
    }
    // Reads until the end even if the file grows meanwhile.
    for (;;) {
      const std::size_t used = out.size();
      out.resize(used + kReadChunk);
      DWORD read = 0;
      const bool ok = ReadFile(AsHandle(handle_), out.data() + used, kReadChunk, &read, nullptr);
      out.resize(used + read);
      if (!ok) return false;
      if (read == 0) return true;
    }
  } catch (const std::exception&) {
    // A file larger than the address space cannot be held in memory.
    out.clear();
    return false;
  }
}

bool File::Write(const void* data, std::size_t size) {
  if (!IsOpen()) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxChunk));
    if (!WriteFile(AsHandle(handle_), bytes, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

std::optional<std::size_t> File::Read(void* data, std::size_t size) {
  if (!IsOpen()) return std::nullopt;
  DWORD count = 0;
  const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 0x10000000));
  if (!ReadFile(AsHandle(handle_), data, wanted, &count, nullptr)) return std::nullopt;
  return static_cast<std::size_t>(count);
}

bool File::Seek(std::int64_t position) {
  if (!IsOpen() || position < 0) return false;
  LARGE_INTEGER distance{};
  distance.QuadPart = position;
  return SetFilePointerEx(AsHandle(handle_), distance, nullptr, FILE_BEGIN);
}

std::optional<std::int64_t> File::Size() const {
  LARGE_INTEGER size{};
  if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size)) return std::nullopt;
  return size.QuadPart;
}

bool File::Truncate() {
  return IsOpen() && SetEndOfFile(AsHandle(handle_));
}

void File::Close() {
  if (!IsOpen()) return;
  CloseHandle(AsHandle(handle_));
  handle_ = kInvalid;
}

}  // namespace Platform
