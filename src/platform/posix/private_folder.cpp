#include "platform/private_folder.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/known_folders.h"
#include "platform/process.h"

// /tmp belongs to everyone: another user may have put a folder or a link under the name this
// user is about to use. Every check here looks at the entry itself (lstat, O_NOFOLLOW), and
// the removal walks folders through descriptors, so that an entry swapped for a link halfway
// leads nowhere.
namespace Platform {
namespace {

// Deeper trees are not made by this program; the limit keeps the descriptors bounded.
constexpr int kMaxDepth = 64;

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// A real folder (not a link) of this user that gives nobody else any access.
bool IsPrivateFolder(const struct stat& status) {
  return S_ISDIR(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & 077) == 0;
}

bool IsPrivateFolder(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && IsPrivateFolder(status);
}

// The entry `name` of the open folder, with everything below it; true when it is gone.
bool RemoveEntryAt(int folder, const char* name, int depth) {
  // Only a real folder opens here; a link, a file or anything else goes as an entry.
  const int fd = openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return true;
    if (errno != ENOTDIR && errno != ELOOP) return false;
    return unlinkat(folder, name, 0) == 0 || errno == ENOENT;
  }
  // A folder of ours without write permission would keep its entries.
  struct stat status {};
  if (fstat(fd, &status) == 0 && status.st_uid == geteuid() &&
      (status.st_mode & S_IRWXU) != S_IRWXU) {
    fchmod(fd, (status.st_mode & 07777) | S_IRWXU);
  }
  DIR* stream = depth < kMaxDepth ? fdopendir(fd) : nullptr;
  if (stream == nullptr) {
    close(fd);
    return false;
  }
  // Names first: removing entries while reading the folder may skip some.
  std::vector<std::string> names;
  bool complete = true;
  try {
    while (const dirent* entry = readdir(stream)) {
      const std::string entryName = entry->d_name;
      if (entryName != "." && entryName != "..") names.push_back(entryName);
    }
    for (const std::string& entryName : names) {
      complete = RemoveEntryAt(dirfd(stream), entryName.c_str(), depth + 1) && complete;
    }
  } catch (...) {
    complete = false;
  }
  closedir(stream);
  return unlinkat(folder, name, AT_REMOVEDIR) == 0 && complete;
}

std::string SystemTemporaryFolder() {
  const std::string variable = EnvironmentValue("TMPDIR");
  return !variable.empty() && variable[0] == '/' ? WithoutTrailingSlashes(variable) : "/tmp";
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.back() == '/' ? folder + name : folder + '/' + name;
}

}  // namespace

std::string PrivateTemporaryFolderPath(const std::string& name) {
  const std::string runtime = WithoutTrailingSlashes(EnvironmentValue("XDG_RUNTIME_DIR"));
  if (!runtime.empty() && runtime[0] == '/' && IsPrivateFolder(runtime)) {
    return Join(runtime, name);
  }
  const std::string shared = Join(SystemTemporaryFolder(), name + "-" + std::to_string(geteuid()));
  struct stat status {};
  if ((lstat(shared.c_str(), &status) != 0 && errno == ENOENT) || IsPrivateFolder(status)) {
    return shared;
  }
  // Someone else holds the name: the user's own folder is out of their reach.
  const auto appData = KnownFolderPath(KnownFolder::UserAppData);
  return appData && !appData->empty() ? Join(*appData, name) : std::string();
}

bool MakePrivateFolder(const std::string& path) {
  if (path.empty()) return false;
  if (mkdir(path.c_str(), S_IRWXU) != 0 && errno != EEXIST) return false;
  // Also after a successful mkdir: the umask may have taken bits away, never added any.
  return IsPrivateFolder(WithoutTrailingSlashes(path));
}

bool RemoveFolderTree(const std::string& path) {
  const std::string entry = WithoutTrailingSlashes(path);
  if (entry.empty() || entry == "/") return entry.empty();
  const std::size_t slash = entry.rfind('/');
  const std::string name = slash == std::string::npos ? entry : entry.substr(slash + 1);
  // The folders above the entry are the system's or the user's: those are trusted.
  const std::string parent = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : entry.substr(0, slash);
  const int folder = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return errno == ENOENT;
  const bool removed = RemoveEntryAt(folder, name.c_str(), 0);
  close(folder);
  return removed;
}

}  // namespace Platform
