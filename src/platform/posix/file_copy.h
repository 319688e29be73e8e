#pragma once

#include <string>
#include <vector>

// The steps of a file replacement that survives kills and power cuts; each returns 0 or an
// errno value. Many files may share one flush: copy each beside its target, flush them all,
// move each over its target, flush the folder.
namespace Platform::Posix {

// Copies contents, permission bits and times (a link as a link) to a new file beside target,
// not yet flushed; its name goes to temporary. Nothing is left behind on failure.
int CopyBeside(const std::string& source, const std::string& target, std::string& temporary);
// Puts these files' contents on the disk.
int FlushFiles(const std::vector<std::string>& paths);
// Renames a copy over its target; durable once the folder is flushed.
int MoveOver(const std::string& temporary, const std::string& target);
int FlushFolder(const std::string& folder);

// All four steps for one file.
int CopyFile(const std::string& source, const std::string& target);

}  // namespace Platform::Posix
