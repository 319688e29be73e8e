#include "reporter/core/temporary_folder.h"

#include "platform/private_folder.h"
#include "reporter/delivery/deliver_bug_report.h"

namespace Reporter::Core {

bool RemoveReporterTemporaryFolder() {
  return Platform::RemoveFolderTree(Delivery::ReporterTemporaryFolderPath());
}

}  // namespace Reporter::Core
