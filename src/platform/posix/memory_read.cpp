#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/memory_map.h"
#include "platform/posix/memory_maps.h"

namespace Platform {
namespace {

// process_vm_readv copies with the kernel's fault handling. Some systems refuse it (seccomp
// filters, user-mode emulators); from then on reads go through a pipe: write() reports a bad
// source address as EFAULT and reading the pipe back delivers the bytes.
std::atomic<bool> gUsePipe{false};

enum class TDirectRead { Done, Failed, Unsupported };

TDirectRead ReadWithProcessVm(std::uintptr_t address, void* buffer, std::size_t size) {
  iovec local{buffer, size};
  iovec remote{reinterpret_cast<void*>(address), size};
  for (;;) {
    const ssize_t count = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    if (count >= 0) {
      return static_cast<std::size_t>(count) == size ? TDirectRead::Done : TDirectRead::Failed;
    }
    if (errno == EINTR) continue;
    return errno == ENOSYS || errno == EPERM ? TDirectRead::Unsupported : TDirectRead::Failed;
  }
}

class TReadPipe {
 public:
  bool Read(std::uintptr_t address, void* buffer, std::size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Open()) return false;
    auto* target = static_cast<char*>(buffer);
    while (size > 0) {
      // One chunk never exceeds the pipe's capacity, so the pipe is emptied after each.
      const std::size_t chunk = std::min<std::size_t>(size, kChunk);
      ssize_t written;
      do {
        written = write(fds_[1], reinterpret_cast<const void*>(address), chunk);
      } while (written < 0 && errno == EINTR);
      if (written <= 0) return false;
      const bool complete = static_cast<std::size_t>(written) == chunk;
      if (!Drain(target, static_cast<std::size_t>(written)) || !complete) return false;
      address += chunk;
      target += chunk;
      size -= chunk;
    }
    return true;
  }

 private:
  static constexpr std::size_t kChunk = 4096;

  bool Open() {
    // A forked child must not share the parent's pipe.
    if (owner_ == getpid()) return true;
    if (owner_ != 0) {
      close(fds_[0]);
      close(fds_[1]);
      owner_ = 0;
    }
    if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    owner_ = getpid();
    return true;
  }

  bool Drain(char* target, std::size_t size) {
    while (size > 0) {
      const ssize_t count = read(fds_[0], target, size);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return false;
      target += count;
      size -= static_cast<std::size_t>(count);
    }
    return true;
  }

  std::mutex mutex_;
  int fds_[2] = {-1, -1};
  pid_t owner_ = 0;
};

TReadPipe& ReadPipe() {
  static TReadPipe* const pipe = new TReadPipe;  // never destroyed: readers may run at exit
  return *pipe;
}

int ProtectionOf(const Posix::TMapping& mapping) {
  return (mapping.Read ? PROT_READ : 0) | (mapping.Write ? PROT_WRITE : 0) |
         (mapping.Execute ? PROT_EXEC : 0);
}

}  // namespace

bool ReadMemory(std::uintptr_t address, void* buffer, std::size_t size) {
  if (size == 0) return true;
  if (address + size < address) return false;
  if (!gUsePipe.load(std::memory_order_relaxed)) {
    switch (ReadWithProcessVm(address, buffer, size)) {
      case TDirectRead::Done:
        return true;
      case TDirectRead::Failed:
        return false;
      case TDirectRead::Unsupported:
        gUsePipe.store(true, std::memory_order_relaxed);
        break;
    }
  }
  return ReadPipe().Read(address, buffer, size);
}

bool ReadExecuteOnlyMemory(std::uintptr_t address, void* buffer, std::size_t size) {
  if (size == 0) return true;
  if (address + size < address) return false;
  static std::mutex mutex;  // two readers of one page must not restore it under each other
  std::lock_guard<std::mutex> lock(mutex);
  const std::vector<Posix::TMapping> mappings = Posix::ReadMappings();
  const auto found = std::find_if(mappings.begin(), mappings.end(), [&](const auto& mapping) {
    return mapping.Begin <= address && address < mapping.End;
  });
  if (found == mappings.end() || address + size > found->End) return false;
  if (found->Read) return ReadMemory(address, buffer, size);
  if (!found->Execute) return false;

  const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t begin = address & ~(page - 1);
  const std::uintptr_t end = std::min(found->End, (address + size + page - 1) & ~(page - 1));
  void* const pages = reinterpret_cast<void*>(begin);
  if (mprotect(pages, end - begin, ProtectionOf(*found) | PROT_READ) != 0) return false;
  const bool read = ReadMemory(address, buffer, size);
  mprotect(pages, end - begin, ProtectionOf(*found));
  return read;
}

}  // namespace Platform
