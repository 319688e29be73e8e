#include "platform/posix/file_copy.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/file_system.h"
#include "platform/posix/descriptor.h"

namespace Platform::Posix {
namespace {

constexpr std::size_t kChunk = 1u << 30;

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
// Set-user-id, set-group-id and sticky bits stay behind: an installation folder is no place to
// grant them.
int CopyInto(int in, const struct stat& source, Descriptor& out) {
  int error = CopyContents(in, out.Get(), source.st_size > 0);
  if (error == 0 && fchmod(out.Get(), source.st_mode & 0777) != 0) error = errno;
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (error == 0 && futimens(out.Get(), times) != 0) error = errno;
  const int closeError = out.Close() ? 0 : errno;
  return error != 0 ? error : closeError;
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string TemporaryPattern(const std::string& target) {
  return Folder(target) + "/" + std::string(kCopyTemporaryPrefix) + "XXXXXX";
}

// A link is copied as a link, pointing where the staged one points; its target is never read.
int CopyLink(const std::string& source, const std::string& target, std::string& temporary) {
  std::string destination(4096, '\0');
  const ssize_t length = readlink(source.c_str(), destination.data(), destination.size());
  if (length < 0) return errno;
  if (static_cast<std::size_t>(length) >= destination.size()) return ENAMETOOLONG;
  destination.resize(static_cast<std::size_t>(length));
  // mkstemp reserves a unique name; the link takes the name beside it, which no other copy
  // can draw (theirs have one character less).
  std::string reserved = TemporaryPattern(target);
  Descriptor placeholder(mkostemp(reserved.data(), O_CLOEXEC));
  if (placeholder.Get() < 0) return errno;
  (void)placeholder.Close();  // empty: no write that a failed close could have lost
  const std::string link = reserved + "l";
  const int error = symlink(destination.c_str(), link.c_str()) == 0 ? 0 : errno;
  unlink(reserved.c_str());
  if (error == 0) temporary = link;
  return error;
}

// One flush per file system: syncfs writes out all that is pending there at once, where an
// fsync per file would wait for the disk once per file.
int SyncFileSystemOf(const std::string& path) {
  Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  // A link cannot be opened by itself; its folder lies on the same file system.
  if (file.Get() < 0 && errno == ELOOP)
    file = Descriptor(open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (file.Get() < 0) return errno;
  return syncfs(file.Get()) == 0 ? 0 : errno;
}

}  // namespace

int CopyBeside(const std::string& source, const std::string& target, std::string& temporary) {
  temporary.clear();
  if (source.empty() || target.empty()) return ENOENT;
  struct stat sourceStatus {};
  if (lstat(source.c_str(), &sourceStatus) != 0) return errno;
  struct stat targetStatus {};
  // The target itself, not what a link there names: a link is replaced, never written through.
  if (lstat(target.c_str(), &targetStatus) == 0) {
    // The same file reached by two paths: "copied" would let a move delete the only copy.
    if (targetStatus.st_dev == sourceStatus.st_dev && targetStatus.st_ino == sourceStatus.st_ino) {
      return EINVAL;
    }
    if (S_ISDIR(targetStatus.st_mode)) return EISDIR;
  }
  if (S_ISLNK(sourceStatus.st_mode)) return CopyLink(source, target, temporary);
  if (S_ISDIR(sourceStatus.st_mode)) return EISDIR;
  // A FIFO or a device would block the copy or never end.
  if (!S_ISREG(sourceStatus.st_mode)) return EINVAL;

  // O_NOFOLLOW and O_NONBLOCK: whatever was swapped in since the lstat neither redirects the
  // copy nor blocks it.
  Descriptor in(open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (in.Get() < 0) return errno;
  if (fstat(in.Get(), &sourceStatus) != 0) return errno;
  if (!S_ISREG(sourceStatus.st_mode)) return EINVAL;

  // Without room for a new file the target stays as it is: overwriting it in place would
  // leave it half old, half new.
  std::string name = TemporaryPattern(target);
  Descriptor out(mkostemp(name.data(), O_CLOEXEC));
  if (out.Get() < 0) return errno;
  const int error = CopyInto(in.Get(), sourceStatus, out);
  if (error != 0) {
    unlink(name.c_str());
    return error;
  }
  temporary = std::move(name);
  return 0;
}

int FlushFiles(const std::vector<std::string>& paths) {
  std::vector<dev_t> flushed;
  for (const std::string& path : paths) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return errno;
    if (std::find(flushed.begin(), flushed.end(), status.st_dev) != flushed.end()) continue;
    if (const int error = SyncFileSystemOf(path); error != 0) return error;
    flushed.push_back(status.st_dev);
  }
  return 0;
}

int MoveOver(const std::string& temporary, const std::string& target) {
  return rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
}

int FlushFolder(const std::string& folder) {
  Descriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.Get() < 0) return errno;
  // Some file systems cannot sync a folder at all; their renames are as durable as they get.
  if (fsync(directory.Get()) != 0 && errno != EINVAL && errno != EROFS) return errno;
  return 0;
}

int CopyFile(const std::string& source, const std::string& target) {
  std::string temporary;
  int error = CopyBeside(source, target, temporary);
  if (error != 0) return error;
  error = FlushFiles({temporary});
  if (error == 0) error = MoveOver(temporary, target);
  if (error != 0) {
    unlink(temporary.c_str());
    return error;
  }
  return FlushFolder(Folder(target));
}

}  // namespace Platform::Posix
