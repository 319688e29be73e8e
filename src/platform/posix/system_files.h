#pragma once

#include <string>

// Small reads of /proc and /sys for the system lists.
namespace Platform::Posix {

// The whole content of a file whose size stat does not tell; empty when it cannot be read.
std::string ReadSystemFile(const std::string& path);

// The first line of a file without its line break and the blanks around it.
std::string ReadSystemValue(const std::string& path);

// The target of a symbolic link; empty when it is none or cannot be read.
std::string ReadLinkTarget(const std::string& path);

// The part after the last "/" (the whole text without one).
std::string LastPathComponent(const std::string& path);

bool PathExists(const std::string& path);

}  // namespace Platform::Posix
