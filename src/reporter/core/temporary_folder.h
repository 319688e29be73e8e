#pragma once

#include <string>

namespace Reporter::Core {

// Empties and removes the reporter's temporary folder, where uploads keep their attachment
// copies: links inside are removed, never followed. False when something stayed.
bool RemoveReporterTemporaryFolder();

// Empties and removes a folder the same way.
bool RemoveFolderTree(const std::string& folder);

}  // namespace Reporter::Core
