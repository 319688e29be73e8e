#include "platform/file_system.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/error_text.h"
#include "platform/posix/file_copy.h"

namespace Platform {
namespace {

// Follows links, as the callers want the entry the path finally names.
bool StatFollowingLinks(const std::string& path, struct stat& status) {
  return !path.empty() && stat(path.c_str(), &status) == 0;
}

// A link is left alone: chmod would change what it points to, which may lie anywhere.
bool ChangeMode(const std::string& path, mode_t add, mode_t remove) {
  struct stat status {};
  if (path.empty() || lstat(path.c_str(), &status) != 0 || S_ISLNK(status.st_mode)) return false;
  const mode_t mode = ((status.st_mode & 07777) | add) & ~remove;
  return mode == (status.st_mode & 07777) || chmod(path.c_str(), mode) == 0;
}

}  // namespace

bool DirectoryExists(const std::string& path) {
  struct stat status {};
  return StatFollowingLinks(path, status) && S_ISDIR(status.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat status {};
  return StatFollowingLinks(path, status) && !S_ISDIR(status.st_mode);
}

std::vector<DirectoryEntry> ListDirectory(const std::string& directory) {
  std::vector<DirectoryEntry> entries;
  DIR* stream = directory.empty() ? nullptr : opendir(directory.c_str());
  if (stream == nullptr) return entries;
  const std::string prefix = directory.back() == '/' ? directory : directory + '/';
  try {
    while (const dirent* entry = readdir(stream)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      DirectoryEntry listed{name, entry->d_type == DT_DIR, entry->d_type == DT_LNK};
      if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
        // The file system did not say, or a link: ask about the entry and what it names.
        struct stat status {};
        listed.isLink = lstat((prefix + name).c_str(), &status) == 0 && S_ISLNK(status.st_mode);
        listed.isDirectory = StatFollowingLinks(prefix + name, status) && S_ISDIR(status.st_mode);
      }
      entries.push_back(std::move(listed));
    }
  } catch (...) {
    entries.clear();
  }
  closedir(stream);
  return entries;
}

bool IsReadOnly(const std::string& path) {
  struct stat status {};
  return StatFollowingLinks(path, status) && (status.st_mode & S_IWUSR) == 0;
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  // Read-only means read-only for everyone; writable again means writable for the owner.
  return readOnly ? ChangeMode(path, 0, S_IWUSR | S_IWGRP | S_IWOTH) : ChangeMode(path, S_IWUSR, 0);
}

bool SetNormalAttributes(const std::string& path) {
  return ChangeMode(path, S_IWUSR, 0);
}

namespace {

Status StatusOf(int error) {
  if (error == 0) return {};
  return Posix::ErrorFailure(error);
}

}  // namespace

Status CopyFileReplacing(const std::string& source, const std::string& target) {
  return StatusOf(Posix::CopyFile(source, target));
}

Result<std::string> CopyBesideTarget(const std::string& source, const std::string& target) {
  std::string temporary;
  const int error = Posix::CopyBeside(source, target, temporary);
  if (error != 0) return Posix::ErrorFailure(error);
  return temporary;
}

Status FlushFiles(const std::vector<std::string>& paths) {
  return StatusOf(Posix::FlushFiles(paths));
}

Status MoveOverTarget(const std::string& temporary, const std::string& target) {
  return StatusOf(Posix::MoveOver(temporary, target));
}

Status FlushFolder(const std::string& folder) {
  return StatusOf(Posix::FlushFolder(folder.empty() ? "." : folder));
}

Status DeleteOneFile(const std::string& path) {
  // unlink refuses directories itself (EISDIR); a link goes, its target stays.
  if (!path.empty() && unlink(path.c_str()) == 0) return {};
  return Posix::ErrorFailure(path.empty() ? ENOENT : errno);
}

bool RemoveEmptyDirectory(const std::string& path) {
  if (path.empty()) return false;
  if (rmdir(path.c_str()) == 0) return true;
  // A link to a directory goes as Windows removes a directory link: the link, not the target.
  struct stat status {};
  return errno == ENOTDIR && lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode) &&
         DirectoryExists(path) && unlink(path.c_str()) == 0;
}

}  // namespace Platform
