#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Files and directories. Paths are UTF-8. Every operation reports failure by its result and,
// where asked, a readable text of the platform's error; none throws.
namespace Platform {

// True for an existing directory; a link counts when its target is a directory.
bool DirectoryExists(const std::string& path);

// True for an existing entry that is not a directory; a link counts when its target exists.
bool FileExists(const std::string& path);

struct DirectoryEntry {
  std::string name;
  bool isDirectory = false;  // a link to a directory counts as one
  bool isLink = false;       // a symbolic link or junction: deleting it leaves its target alone
};

// Every entry of a directory except "." and "..", hidden and system ones included, in the
// order the platform enumerates them. Empty when the directory cannot be read.
std::vector<DirectoryEntry> ListDirectory(const std::string& directory);

// Read-only: Windows' attribute; POSIX: no write permission for the owner.
bool IsReadOnly(const std::string& path);
bool SetReadOnly(const std::string& path, bool readOnly);

// Clears read-only, hidden and system (POSIX: adds the owner's write bit).
bool SetNormalAttributes(const std::string& path);

// Copies contents, attributes (permission bits) and modification time, replacing an existing
// target, with the fastest copy the system offers.
bool CopyFileReplacing(const std::string& source, const std::string& target,
                       std::string* errorText = nullptr);

// Deletes one file (not a directory).
bool DeleteOneFile(const std::string& path, std::string* errorText = nullptr);

// Removes an empty directory.
bool RemoveEmptyDirectory(const std::string& path);

}  // namespace Platform
