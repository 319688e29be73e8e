#pragma once

#include <string>

// A folder of the user's own for short-lived files, in a place that other users of the machine
// may share (the system's temporary folder): nobody else can use it, and nothing in it is
// reached through a link.
namespace Platform {

// Where a private folder of this name goes, whether or not it exists. POSIX: inside
// $XDG_RUNTIME_DIR when that is a folder of this user's alone; else "<name>-<user id>" in the
// system's temporary folder ($TMPDIR when absolute, else /tmp), unless another user holds that
// name; else inside the user's application data. Windows: inside the user's temporary folder,
// else inside the user's application data. Empty when there is no place at all.
std::string PrivateTemporaryFolderPath(const std::string& name);

// Creates the folder for this user alone (POSIX: mode 0700; its parent must exist), or accepts
// an existing one that is a real folder, not a link, owned by this user and closed to everyone
// else. False otherwise; the path is then not to be used.
[[nodiscard]] bool MakePrivateFolder(const std::string& path);

// Removes the folder with everything in it, read-only entries included, and never follows a
// link: a link, the folder itself included, is removed as a link and its target stays as it
// is. True when nothing is left, also when there was nothing.
[[nodiscard]] bool RemoveFolderTree(const std::string& path);

}  // namespace Platform
