#pragma once

#include <string>

#include "platform/known_folders.h"

namespace Reporter::Settings {

// The folder without a trailing separator; the executable's folder when the system names
// none.
std::string FolderOrExecutableFolder(Platform::KnownFolder folder);

}  // namespace Reporter::Settings
