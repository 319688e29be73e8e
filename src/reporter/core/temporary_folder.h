#pragma once

namespace Reporter::Core {

// Empties and removes the reporter's temporary folder, where uploads keep their attachment
// copies: links inside are removed, never followed. False when something stayed.
bool RemoveReporterTemporaryFolder();

}  // namespace Reporter::Core
