#include "reporter/core/temporary_folder.h"

#include "platform/file_system.h"
#include "platform/path_style.h"
#include "reporter/delivery/deliver_bug_report.h"

namespace Reporter::Core {

bool RemoveFolderTree(const std::string& folder) {
  if (folder.empty() || !Platform::DirectoryExists(folder)) return true;
  const char separator = Platform::NativePathStyle() == Platform::PathStyle::Windows ? '\\' : '/';
  const std::string prefix = folder.back() == separator ? folder : folder + separator;
  bool complete = true;
  for (const Platform::DirectoryEntry& entry : Platform::ListDirectory(prefix)) {
    const std::string path = prefix + entry.name;
    Platform::SetNormalAttributes(path);
    if (entry.isDirectory && !entry.isLink) {
      complete = RemoveFolderTree(path) && complete;
    } else if (!Platform::DeleteOneFile(path) && !Platform::RemoveEmptyDirectory(path)) {
      complete = false;
    }
  }
  return Platform::RemoveEmptyDirectory(folder) && complete;
}

bool RemoveReporterTemporaryFolder() {
  return RemoveFolderTree(Delivery::ReporterTemporaryFolderPath());
}

}  // namespace Reporter::Core
