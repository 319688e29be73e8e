#include "platform/console.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

namespace Platform::Console {
namespace {

constexpr std::size_t kBufferSize = 128;

// Trivially destructible, so that a line written by another static object's destructor late
// at exit never touches a destroyed object. The mutex is created once and never destroyed.
struct Output {
  bool initialised = false;
  bool terminal = false;
  char bytes[kBufferSize];
  std::size_t used = 0;
};
Output output;
std::atomic<std::string (*)()> firstLine{nullptr};

std::mutex& OutputLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

// Caller holds the lock.
void Initialise() {
  if (output.initialised) return;
  output.initialised = true;
  output.terminal = isatty(STDOUT_FILENO) == 1;
  // A reader that went away must not end the update: the write fails with EPIPE instead.
  // Children get the default back (see StartProcess).
  signal(SIGPIPE, SIG_IGN);
}

// Failures are ignored on purpose: a closed redirect must not stop the update.
void WriteBytes(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(STDOUT_FILENO, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

// Caller holds the lock.
void FlushLocked() {
  if (output.used > 0) WriteBytes(output.bytes, output.used);
  output.used = 0;
}

// Caller holds the lock.
void Buffer(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t chunk = std::min(kBufferSize - output.used, bytes.size());
    std::memcpy(output.bytes + output.used, bytes.data(), chunk);
    output.used += chunk;
    bytes.remove_prefix(chunk);
    if (output.used == kBufferSize) FlushLocked();
  }
}

// Writes what is left when the program ends normally.
struct FlushAtExit {
  ~FlushAtExit() { Flush(); }
} flushAtExit;

// Caller holds the lock.
void WriteLineLocked(std::string_view utf8Text) {
  Initialise();
  if (output.terminal) {
    std::string line(utf8Text);
    line += '\n';
    WriteBytes(line.data(), line.size());
  } else {
    Buffer(utf8Text);
    Buffer("\n");
  }
}

// Caller holds the lock, so that no other line can overtake the first one.
void WriteFirstLineLocked() {
  if (std::string(*const take)() = firstLine.exchange(nullptr)) {
    const std::string line = take();
    if (!line.empty()) WriteLineLocked(line);
  }
}

}  // namespace

void WriteLine(std::string_view utf8Text) {
  try {
    std::lock_guard<std::mutex> lock(OutputLock());
    WriteFirstLineLocked();
    WriteLineLocked(utf8Text);
  } catch (...) {
    // Output is never worth stopping the update for.
  }
}

void Flush() {
  try {
    std::lock_guard<std::mutex> lock(OutputLock());
    WriteFirstLineLocked();
    FlushLocked();
  } catch (...) {
  }
}

void PutFirst(std::string (*line)()) {
  firstLine.store(line);
}

}  // namespace Platform::Console
