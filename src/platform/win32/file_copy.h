#pragma once

#include <string>
#include <vector>

// The steps of a file replacement that survives kills and power cuts; each returns the
// system's error code or 0. Many files may share the copy step before they are moved.
namespace Platform::Win32 {

// Copies source (attributes and modification time with it, a link as a link) to a new file
// beside target, not yet flushed; its name goes to temporary. Nothing is left on failure.
unsigned long CopyBeside(const std::string& source, const std::string& target,
                         std::string& temporary);
// Puts a file's data on the disk.
unsigned long FlushFile(const std::string& path);
// Moves a copy over its target in one write-through step.
unsigned long MoveOver(const std::string& temporary, const std::string& target);

// All steps for one file.
unsigned long CopyFileDurably(const std::string& source, const std::string& target);

}  // namespace Platform::Win32
