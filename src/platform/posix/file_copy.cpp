// 32-bit builds: sizes and offsets beyond 2 GiB.
#define _FILE_OFFSET_BITS 64

#include "platform/posix/file_copy.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace Platform::Posix {
namespace {

constexpr std::size_t kChunk = 1u << 30;

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  // Closes now and reports the error that a delayed write may only show here.
  int Close() {
    const int result = close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// Errors by which a system call says that it cannot do this copy, not that the copy failed.
bool Unsupported(int error) {
  return error == ENOSYS || error == EINVAL || error == EXDEV || error == EOPNOTSUPP ||
         error == ENOTTY || error == EBADF || error == ETXTBSY || error == EPERM;
}

enum class Step { Done, TryNext, Failed };

// Copies with a call of the form (in, out, count) -> copied, from the current offsets on.
template <typename Call>
Step CopyWith(Call call, bool expectData, int& error) {
  bool copiedAny = false;
  for (;;) {
    const ssize_t copied = call(kChunk);
    if (copied > 0) {
      copiedAny = true;
      continue;
    }
    if (copied == 0) {
      // Some file systems (/proc, some network ones) report 0 instead of refusing.
      return (!copiedAny && expectData) ? Step::TryNext : Step::Done;
    }
    if (errno == EINTR) continue;
    if (!copiedAny && Unsupported(errno)) return Step::TryNext;
    error = errno;
    return Step::Failed;
  }
}

int CopyContents(int in, int out, bool expectData) {
  // A clone shares the blocks (btrfs, xfs): nothing is copied at all.
  if (ioctl(out, FICLONE, in) == 0) return 0;
  int error = 0;
  Step step = CopyWith(
      [&](std::size_t count) { return copy_file_range(in, nullptr, out, nullptr, count, 0); },
      expectData, error);
  if (step == Step::TryNext) {
    step = CopyWith([&](std::size_t count) { return sendfile(out, in, nullptr, count); },
                    expectData, error);
  }
  if (step != Step::TryNext) return error;
  std::vector<char> buffer(1u << 16);
  for (;;) {
    const ssize_t count = read(in, buffer.data(), buffer.size());
    if (count == 0) return 0;
    if (count < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t done = 0; done < count;) {
      const ssize_t written =
          write(out, buffer.data() + done, static_cast<std::size_t>(count - done));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return written < 0 ? errno : EIO;
      done += written;
    }
  }
}

// Contents, then permission bits and times, so that the last write does not change them.
int CopyInto(int in, const struct stat& source, Descriptor& out) {
  int error = CopyContents(in, out.Get(), source.st_size > 0);
  if (error == 0 && fchmod(out.Get(), source.st_mode & 07777) != 0) error = errno;
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (error == 0 && futimens(out.Get(), times) != 0) error = errno;
  const int closeError = out.Close();
  return error != 0 ? error : closeError;
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

int CopyFile(const std::string& source, const std::string& target) {
  if (source.empty() || target.empty()) return ENOENT;
  Descriptor in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.Get() < 0) return errno;
  struct stat sourceStatus {};
  if (fstat(in.Get(), &sourceStatus) != 0) return errno;
  if (S_ISDIR(sourceStatus.st_mode)) return EISDIR;
  struct stat targetStatus {};
  if (stat(target.c_str(), &targetStatus) == 0) {
    // The same file reached by two paths: "copied" would let a move delete the only copy.
    if (targetStatus.st_dev == sourceStatus.st_dev && targetStatus.st_ino == sourceStatus.st_ino) {
      return EINVAL;
    }
    if (S_ISDIR(targetStatus.st_mode)) return EISDIR;
  }

  // A new file renamed over the target: replaces a read-only or running program as well, and
  // the target is never seen half written.
  std::string temporary = Folder(target) + "/.update-copy-XXXXXX";
  Descriptor out(mkostemp(temporary.data(), O_CLOEXEC));
  if (out.Get() >= 0) {
    int error = CopyInto(in.Get(), sourceStatus, out);
    if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) unlink(temporary.c_str());
    return error;
  }

  // No new file in that folder: overwrite the target in place.
  struct stat status {};
  if (stat(target.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) == 0) {
    chmod(target.c_str(), (status.st_mode & 07777) | S_IWUSR);
  }
  Descriptor inPlace(open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (inPlace.Get() < 0) return errno;
  return CopyInto(in.Get(), sourceStatus, inPlace);
}

}  // namespace Platform::Posix
