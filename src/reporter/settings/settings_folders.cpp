#include "reporter/settings/settings_folders.h"

#include "platform/process.h"

namespace Reporter::Settings {

std::string FolderOrExecutableFolder(Platform::KnownFolder folder) {
  if (auto path = Platform::KnownFolderPath(folder); path && !path->empty()) return *path;
  std::string executableFolder = Platform::ExecutableDirectory();
  // Keep a drive root ("C:\") or "/" whole.
  if (executableFolder.size() > 1 && executableFolder.back() != ':' &&
      (executableFolder.back() == '\\' || executableFolder.back() == '/')) {
    const bool driveRoot = executableFolder.size() == 3 && executableFolder[1] == ':';
    if (!driveRoot) executableFolder.pop_back();
  }
  return executableFolder;
}

}  // namespace Reporter::Settings
