#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

// Files and directories. Paths are UTF-8. Every operation reports failure by its result, the
// copies and deletions with a readable text of the platform's error; none throws.
namespace Platform {

// True for an existing directory; a link counts when its target is a directory.
[[nodiscard]] bool DirectoryExists(const std::string& path);

// True for an existing entry that is not a directory; a link counts when its target exists.
[[nodiscard]] bool FileExists(const std::string& path);

struct DirectoryEntry {
  std::string name;
  bool isDirectory = false;  // a link to a directory counts as one
  bool isLink = false;       // a symbolic link or junction: deleting it leaves its target alone
};

// Every entry of a directory except "." and "..", hidden and system ones included, in the
// order the platform enumerates them. Empty when the directory cannot be read.
std::vector<DirectoryEntry> ListDirectory(const std::string& directory);

// Read-only: Windows' attribute; POSIX: no write permission for the owner.
[[nodiscard]] bool IsReadOnly(const std::string& path);
// POSIX leaves a symbolic link alone (false): its mode would be its target's.
[[nodiscard]] bool SetReadOnly(const std::string& path, bool readOnly);

// Clears read-only, hidden and system (POSIX: adds the owner's write bit; not through a link).
[[nodiscard]] bool SetNormalAttributes(const std::string& path);

// CopyFileReplacing writes the new file under a name with this prefix in the target's folder
// before it renames it over the target; a copy cut short by a kill or a power cut leaves such
// a file behind, which only the next copy into that folder may remove.
inline constexpr std::string_view kCopyTemporaryPrefix = ".update-copy-";

// Copies contents, attributes (permission bits without set-user-id, set-group-id and sticky)
// and modification time, replacing an existing target; a symbolic link is copied as a link.
// The copy is on the disk, under the target's name, when this succeeds; on failure the
// target is as it was. It is never written in place: a crash or a full disk cannot leave it
// half written.
Status CopyFileReplacing(const std::string& source, const std::string& target);

// CopyFileReplacing in its steps, so that many files share one flush instead of waiting for
// the disk once each: copy every file beside its target, flush them all, move each over its
// target, flush the target folder. Only then is a new file sure to be on the disk.
//
// Copies source (a link as a link) to a new file under a temporary name beside target, not
// yet flushed; hands back that name. Fails without leaving anything behind.
Result<std::string> CopyBesideTarget(const std::string& source, const std::string& target);
// Puts the contents of these files on the disk.
Status FlushFiles(const std::vector<std::string>& paths);
// Renames a flushed copy over its target (not over a read-only one on Windows).
Status MoveOverTarget(const std::string& temporary, const std::string& target);
// Makes the moves into this folder durable.
Status FlushFolder(const std::string& folder);

// Deletes one file (not a directory).
Status DeleteOneFile(const std::string& path);

// Removes an empty directory.
[[nodiscard]] bool RemoveEmptyDirectory(const std::string& path);

}  // namespace Platform
