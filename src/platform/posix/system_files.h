#pragma once

#include <string>
#include <vector>

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

// This process's arguments as it was started with them, argv[0] included.
std::vector<std::string> OwnArguments();

}  // namespace Platform::Posix
