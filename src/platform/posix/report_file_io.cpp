#include "platform/report_file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

int Descriptor(std::intptr_t handle) {
  return static_cast<int>(handle);
}

}  // namespace

// Holds the file for this process alone, and only a plain file of this user's with no other
// name.
std::optional<ExclusiveFile> ExclusiveFile::Open(const std::string& path, bool mustBeNew) {
  const int flags = mustBeNew ? O_CREAT | O_EXCL : O_CREAT;
  int fd = -1;
  do {
    fd = open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_RDWR, S_IRUSR | S_IWUSR);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return std::nullopt;
  struct stat status {};
  bool ok = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid() &&
            status.st_nlink == 1;
  // A file of the user's from an earlier run may still be open to others.
  if (ok && (status.st_mode & 077) != 0) ok = fchmod(fd, status.st_mode & 07700) == 0;
  while (ok && flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) ok = false;
  }
  if (!ok) {
    close(fd);
    return std::nullopt;
  }
  return ExclusiveFile(fd);
}

bool ExclusiveFile::ReplaceContent(const void* data, std::size_t size) {
  if (handle_ == kInvalid) return false;
  const int fd = Descriptor(handle_);
  if (lseek(fd, 0, SEEK_SET) != 0) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::size_t left = size;
  while (left > 0) {
    const ssize_t written = write(fd, bytes, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    left -= static_cast<std::size_t>(written);
  }
  int result = 0;
  do {
    result = ftruncate(fd, static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

void ExclusiveFile::Close() {
  if (handle_ == kInvalid) return;
  close(Descriptor(handle_));  // releases the lock as well
  handle_ = kInvalid;
}

bool CreateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  struct stat status {};
  return errno == EEXIST && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace Platform
