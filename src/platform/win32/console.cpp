#include "platform/console.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <type_traits>

#include "platform/text_encoding.h"
#include "platform/win32/utf16.h"

namespace Platform::Console {
namespace {

constexpr std::size_t kBufferSize = 128;

// Redirected output collects here. Trivially destructible, so that a line written by another
// static object's destructor late at exit never touches a destroyed object.
struct RedirectBuffer {
  SRWLOCK lock = SRWLOCK_INIT;
  char bytes[kBufferSize];
  std::size_t used = 0;
};
RedirectBuffer buffer;
static_assert(std::is_trivially_destructible_v<RedirectBuffer>);
std::atomic<std::string (*)()> firstLine{nullptr};

HANDLE StandardOutput() {
  return GetStdHandle(STD_OUTPUT_HANDLE);
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// Failures are ignored on purpose: a closed redirect must not stop the update.
void WriteBytes(HANDLE handle, const char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(handle, data, static_cast<DWORD>(size), &written, nullptr) || written == 0) {
      return;
    }
    data += written;
    size -= written;
  }
}

void WriteToConsole(HANDLE handle, std::string_view utf8Text) {
  std::wstring line = Win32::ToUtf16(utf8Text);
  line += L"\r\n";
  const wchar_t* data = line.data();
  std::size_t remaining = line.size();
  while (remaining > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(handle, data, static_cast<DWORD>(remaining), &written, nullptr) ||
        written == 0) {
      return;
    }
    data += written;
    remaining -= written;
  }
}

class BufferLock {
 public:
  BufferLock() { AcquireSRWLockExclusive(&buffer.lock); }
  ~BufferLock() { ReleaseSRWLockExclusive(&buffer.lock); }
  BufferLock(const BufferLock&) = delete;
  BufferLock& operator=(const BufferLock&) = delete;
};

// Caller holds the buffer's lock.
void FlushLocked(HANDLE handle) {
  if (buffer.used > 0) WriteBytes(handle, buffer.bytes, buffer.used);
  buffer.used = 0;
}

void WriteToRedirect(HANDLE handle, std::string_view utf8Text) {
  std::string bytes = Utf8ToAnsi(utf8Text);
  bytes += "\r\n";
  BufferLock lock;
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const std::size_t chunk = std::min(kBufferSize - buffer.used, bytes.size() - offset);
    std::memcpy(buffer.bytes + buffer.used, bytes.data() + offset, chunk);
    buffer.used += chunk;
    offset += chunk;
    if (buffer.used == kBufferSize) FlushLocked(handle);
  }
}

// Writes what is left when the program ends normally.
struct FlushAtExit {
  ~FlushAtExit() { Flush(); }
} flushAtExit;

void Write(HANDLE handle, std::string_view utf8Text) {
  if (IsConsole(handle)) {
    WriteToConsole(handle, utf8Text);
  } else {
    WriteToRedirect(handle, utf8Text);
  }
}

// Only one thread takes the first line; a line of another thread that writes at the very
// same moment may come before it.
void WriteFirstLine(HANDLE handle) {
  if (std::string(*const take)() = firstLine.exchange(nullptr)) {
    const std::string line = take();
    if (!line.empty()) Write(handle, line);
  }
}

}  // namespace

void WriteLine(std::string_view utf8Text) {
  try {
    const HANDLE handle = StandardOutput();
    WriteFirstLine(handle);
    Write(handle, utf8Text);
  } catch (...) {
    // Output is never worth stopping the update for.
  }
}

void Flush() {
  try {
    const HANDLE handle = StandardOutput();
    WriteFirstLine(handle);
    BufferLock lock;
    FlushLocked(handle);
  } catch (...) {
  }
}

void PutFirst(std::string (*line)()) {
  firstLine.store(line);
}

}  // namespace Platform::Console
