#include "platform/console.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/console_device.h"

namespace Platform::Console {
namespace {

constexpr std::size_t kBufferSize = 128;

// Trivially destructible, so that a line written by another static object's destructor late
// at exit never touches a destroyed object. The mutex is created once and never destroyed.
struct Output {
  bool opened = false;
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
void FlushLocked() {
  if (output.used > 0) ConsoleDevice::Write(output.bytes, output.used);
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

// Caller holds the lock.
void WriteLineLocked(std::string_view utf8Text) {
  if (!output.opened) {
    output.opened = true;
    output.terminal = ConsoleDevice::Open();
  }
  if (output.terminal) {
    ConsoleDevice::WriteTerminalLine(utf8Text);
  } else {
    Buffer(ConsoleDevice::RedirectedLine(utf8Text));
  }
}

// Caller holds the lock, so that no other line can overtake the first one.
void WriteFirstLineLocked() {
  if (std::string(*const take)() = firstLine.exchange(nullptr)) {
    const std::string line = take();
    if (!line.empty()) WriteLineLocked(line);
  }
}

// Writes what is left when the program ends normally.
struct FlushAtExit {
  ~FlushAtExit() { Flush(); }
} flushAtExit;

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
