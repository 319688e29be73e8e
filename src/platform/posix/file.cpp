#include "platform/file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <exception>

#include "platform/posix/error_text.h"

namespace Platform {
namespace {

constexpr std::size_t kReadChunk = 1u << 16;

int Descriptor(std::intptr_t handle) {
  return static_cast<int>(handle);
}

Failure OpenFailure(int error) {
  if (error == EWOULDBLOCK) return Failure{"The file is in use by another process"};
  return Posix::ErrorFailure(error);
}

// Takes the lock without waiting: a held conflicting lock means another process uses the file.
int Lock(int fd, int operation) {
  while (flock(fd, operation | LOCK_NB) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

// A holder removes the file while it still holds it, and lets go only then. An open that got
// the lock at that moment holds a file that is no longer there, and that another process may
// create anew and lock as well: it counts as held by the other process.
bool StillAtItsPath(int fd, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  return fstat(fd, &opened) == 0 && opened.st_nlink > 0 && stat(path.c_str(), &named) == 0 &&
         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

int BlockingAgain(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return errno;
  return 0;
}

}  // namespace

Result<File> File::Open(const std::string& path, Mode mode) {
  // Non-blocking, so that a FIFO cannot hold the open up; it is refused below anyway.
  int flags = O_CLOEXEC | O_NONBLOCK | O_RDWR;
  int lockOperation = LOCK_EX;
  if (mode == Mode::CreateAlwaysReadWrite) flags |= O_CREAT;
  if (mode == Mode::OpenExistingRead) {
    flags = O_CLOEXEC | O_NONBLOCK | O_RDONLY;
    lockOperation = LOCK_SH;
  }
  int fd = -1;
  do {
    fd = open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return OpenFailure(errno);
  struct stat status {};
  int error = fstat(fd, &status) != 0 ? errno : 0;
  // A directory opens read-only on POSIX but is no file to read; a FIFO or a device would
  // block a read or never end.
  if (error == 0 && S_ISDIR(status.st_mode)) error = EISDIR;
  if (error == 0 && !S_ISREG(status.st_mode)) error = EINVAL;
  if (error == 0) error = Lock(fd, lockOperation);
  if (error == 0 && lockOperation == LOCK_EX && !StillAtItsPath(fd, path)) error = EWOULDBLOCK;
  if (error == 0) error = BlockingAgain(fd);
  // Emptied only once the lock is ours, so that a file in use keeps its contents.
  if (error == 0 && mode == Mode::CreateAlwaysReadWrite && ftruncate(fd, 0) != 0) error = errno;
  if (error != 0) {
    close(fd);
    return OpenFailure(error);
  }
  return File(fd);
}

bool File::ReadToEnd(std::vector<std::uint8_t>& out) {
  out.clear();
  if (!IsOpen()) return false;
  const int fd = Descriptor(handle_);
  try {
    struct stat status {};
    const off_t position = lseek(fd, 0, SEEK_CUR);
    if (fstat(fd, &status) == 0 && position >= 0 && status.st_size > position) {
      // Room for the final empty read as well, so that it does not reallocate.
      out.reserve(static_cast<std::size_t>(status.st_size - position) + kReadChunk);
    }
    // Reads until the end even if the file grows meanwhile.
    for (;;) {
      const std::size_t used = out.size();
      out.resize(used + kReadChunk);
      const ssize_t count = read(fd, out.data() + used, kReadChunk);
      out.resize(used + (count > 0 ? static_cast<std::size_t>(count) : 0));
      if (count == 0) return true;
      if (count < 0 && errno != EINTR) return false;
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
    const ssize_t written = write(Descriptor(handle_), bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

std::optional<std::size_t> File::Read(void* data, std::size_t size) {
  if (!IsOpen()) return std::nullopt;
  for (;;) {
    const ssize_t count = read(Descriptor(handle_), data, size);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return std::nullopt;
  }
}

bool File::Seek(std::int64_t position) {
  if (!IsOpen() || position < 0) return false;
  return lseek(Descriptor(handle_), static_cast<off_t>(position), SEEK_SET) >= 0;
}

std::optional<std::int64_t> File::Size() const {
  struct stat status {};
  if (!IsOpen() || fstat(Descriptor(handle_), &status) != 0) return std::nullopt;
  return static_cast<std::int64_t>(status.st_size);
}

bool File::Truncate() {
  if (!IsOpen()) return false;
  const off_t position = lseek(Descriptor(handle_), 0, SEEK_CUR);
  return position >= 0 && ftruncate(Descriptor(handle_), position) == 0;
}

void File::Close() {
  if (!IsOpen()) return;
  // The lock goes with the descriptor. A failed close (EINTR) has released it all the same.
  close(Descriptor(handle_));
  handle_ = kInvalid;
}

}  // namespace Platform
