#include "platform/request_pipe.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>

#include "platform/posix/descriptor.h"

// Plain pipes: a write of up to PIPE_BUF bytes is atomic, and read, write and poll are safe in
// a signal handler.
namespace Platform {
namespace {

class TPipeSignal final : public TSignal {
 public:
  TPipeSignal(int readEnd, int writeEnd) : read_(readEnd), write_(writeEnd) {}
  void Set() override {
    sets_.fetch_add(1, std::memory_order_release);
    const char byte = 1;
    // A full pipe is set already.
    while (write(write_.Get(), &byte, 1) < 0 && errno == EINTR) {
    }
  }
  void Reset() override {
    char bytes[64];
    while (read(read_.Get(), bytes, sizeof bytes) > 0) {
    }
  }
  bool Wait(std::uint32_t milliseconds) override {
    pollfd entry{read_.Get(), POLLIN, 0};
    const int timeout = milliseconds == kWaitForever ? -1 : static_cast<int>(milliseconds);
    for (;;) {
      const int ready = poll(&entry, 1, timeout);
      if (ready > 0) {
        // poll wakes the waiter but orders no memory: the count carries what was written
        // before Set over to it.
        (void)sets_.load(std::memory_order_acquire);
        return true;
      }
      if (ready == 0 || errno != EINTR) return false;
    }
  }

 private:
  Posix::Descriptor read_;
  Posix::Descriptor write_;
  std::atomic<std::uint32_t> sets_{0};  // lock-free, so Set stays safe in a signal handler
};

class TPosixRequestPipe final : public TRequestPipe {
 public:
  TPosixRequestPipe(int readEnd, int writeEnd) : read_(readEnd), write_(writeEnd) {}
  bool Write(const void* record, std::size_t size) override {
    if (!write_.Valid() || size > 512) return false;
    for (;;) {
      const ssize_t written = write(write_.Get(), record, size);
      if (written >= 0) return static_cast<std::size_t>(written) == size;
      if (errno != EINTR) return false;
    }
  }
  TReadResult Read(void* record, std::size_t size) override {
    for (;;) {
      const ssize_t got = read(read_.Get(), record, size);
      if (got == static_cast<ssize_t>(size)) return TReadResult::Record;
      if (got > 0) return TReadResult::Short;
      if (got == 0) return TReadResult::Closed;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return TReadResult::Empty;
      if (errno != EINTR) return TReadResult::Failed;
    }
  }
  // The descriptor is released either way, and a pipe keeps nothing that a failed close loses.
  void CloseWriteEnd() override { (void)write_.Close(); }

 private:
  Posix::Descriptor read_;
  Posix::Descriptor write_;
};

bool MakePipe(int ends[2], bool nonBlockingRead, bool nonBlockingWrite) {
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  if (nonBlockingRead) fcntl(ends[0], F_SETFL, O_NONBLOCK);
  if (nonBlockingWrite) fcntl(ends[1], F_SETFL, O_NONBLOCK);
  return true;
}

}  // namespace

std::unique_ptr<TSignal> TSignal::Create() {
  int ends[2];
  if (!MakePipe(ends, true, true)) return nullptr;
  return std::make_unique<TPipeSignal>(ends[0], ends[1]);
}

std::unique_ptr<TRequestPipe> TRequestPipe::Create() {
  int ends[2];
  if (!MakePipe(ends, true, false)) return nullptr;
  return std::make_unique<TPosixRequestPipe>(ends[0], ends[1]);
}

}  // namespace Platform
