#pragma once

#include <string>

namespace Platform::Posix {

// Copies contents, permission bits and times over an existing target; 0 or an errno value.
int CopyFile(const std::string& source, const std::string& target);

}  // namespace Platform::Posix
