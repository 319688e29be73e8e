#include "platform/file_system.h"
#include "rtl/text.h"
#include "updater/io/paths.h"
#include "updater/strings.h"
#include "updater/switches.h"
#include "updater/work.h"

namespace Update::Work {
namespace {

// Depth first, each entry after everything inside it; failures are passed over. A link is
// removed itself, never followed: its target lies outside the staging folder.
void RemoveTree(const std::string& directory) {
  // Normal attributes first: POSIX needs a writable folder to delete what is inside it, and
  // Windows will not remove a read-only folder.
  Platform::SetNormalAttributes(directory);
  for (const Platform::DirectoryEntry& entry : Platform::ListDirectory(directory)) {
    const std::string path = RTL::Paths::Combine(directory, entry.name, /*validate=*/false);
    if (entry.isDirectory && !entry.isLink) {
      RemoveTree(path);
      continue;
    }
    // A link's attributes would be its target's on POSIX.
    if (!entry.isLink) Platform::SetNormalAttributes(path);
    if (entry.isDirectory) {
      Platform::RemoveEmptyDirectory(path);
    } else {
      Platform::DeleteOneFile(path);
    }
  }
  Platform::RemoveEmptyDirectory(directory);
}

std::vector<std::string> StagedFiles(const std::string& sourceDir) {
  std::vector<std::string> files;
  for (const Platform::DirectoryEntry& entry : Platform::ListDirectory(sourceDir)) {
    if (!entry.isDirectory) {
      files.push_back(RTL::Paths::Combine(sourceDir, entry.name, /*validate=*/false));
    }
  }
  return files;
}

// Up to 100 tries, each announced and each failure followed by a pause.
bool MoveWithRetries(const std::string& file, const std::string& targetDir, const LogSink& sink,
                     const TJobServices& services) {
  const std::string target = targetDir + RTL::Paths::ExtractFileName(file);
  for (int attempt = 1; attempt <= kCopyTries; ++attempt) {
    Log(sink, RTL::Text::Format(Strings::kCopyingFile, {file, attempt}));
    if (CopyAndDelete(file, target)) return true;
    services.Sleep(kPauseAfterFailedCopy);
  }
  Log(sink, RTL::Text::Format(Strings::kCopyFailed, {file}));
  return false;
}

}  // namespace

bool CopyAndDelete(const std::string& source, const std::string& target) {
  if (Platform::FileExists(target)) Platform::SetReadOnly(target, false);
  if (!Platform::CopyFileReplacing(source, target)) return false;
  // Windows refuses to delete a read-only file; the copy has the attribute already.
  Platform::SetReadOnly(source, false);
  return Platform::DeleteOneFile(source);
}

void TransferFiles(const LogSink& sink, const TJobServices& services) {
  const std::string sourceDir = Switches::GetSourceDir();
  if (!Platform::DirectoryExists(sourceDir)) return;
  const std::string targetDir = RTL::Paths::IncludeTrailingSeparator(Switches::GetDestDir());

  bool everyFileMoved = true;
  for (const std::string& file : StagedFiles(sourceDir)) {
    if (!MoveWithRetries(file, targetDir, sink, services)) everyFileMoved = false;
  }
  // A file that was never installed must not be lost with the staging folder: then the
  // folder stays, with every file still in it, for the next attempt or a person to look at.
  if (everyFileMoved && Platform::DirectoryExists(sourceDir)) RemoveTree(sourceDir);
}

}  // namespace Update::Work
