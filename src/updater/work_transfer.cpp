#include <string>
#include <vector>

#include "platform/file_system.h"
#include "rtl/io/paths.h"
#include "rtl/text.h"
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

// A run that was killed or lost its power in the middle of a copy left the copy's temporary
// file beside the installed ones. Only the holder of the lock file copies into this folder,
// so none of them belongs to a copy still under way.
void RemoveInterruptedCopies(const std::string& targetDir) {
  for (const Platform::DirectoryEntry& entry : Platform::ListDirectory(targetDir)) {
    if (entry.isDirectory || !entry.name.starts_with(Platform::kCopyTemporaryPrefix)) continue;
    const std::string path = targetDir + entry.name;
    if (!entry.isLink) Platform::SetNormalAttributes(path);
    Platform::DeleteOneFile(path);
  }
}

// One staged file on its way into the installation folder.
struct TStagedFile {
  std::string source;
  std::string target;
  std::string temporary;  // its copy beside the target, once made
  int tries = 0;
  bool failed = false;
};

// Files are handed over in groups that share one flush; a group also bounds how many new
// files wait beside the installed ones at a time.
constexpr std::size_t kGroupFiles = 256;

class THandOver {
 public:
  THandOver(const LogSink& sink, const TJobServices& services, std::string targetDir)
      : sink_(sink), services_(services), targetDir_(std::move(targetDir)) {}

  // Copies the file beside its target, up to its 100 tries; a group that is full goes in.
  void Add(const std::string& file) {
    TStagedFile staged;
    staged.source = file;
    staged.target = targetDir_ + RTL::Paths::ExtractFileName(file);
    if (Try(staged, /*withinTry=*/false, [&] {
          return Step(Platform::CopyBesideTarget(staged.source, staged.target, staged.temporary));
        })) {
      group_.push_back(std::move(staged));
    } else {
      everyFileMoved_ = false;
    }
    if (group_.size() >= kGroupFiles) Complete();
  }

  // The copies of the group on the disk, moved over their targets, the moves on the disk;
  // only then are the staged files deleted. A kill or a power cut at any moment leaves every
  // installed file whole, old or new, and every file not yet installed still staged.
  void Complete() {
    std::vector<std::string> copies;
    for (const TStagedFile& file : group_) copies.push_back(file.temporary);
    const bool flushed = Platform::FlushFiles(copies);
    for (TStagedFile& file : group_) {
      if (!flushed) GoOn(file, [&] { return Platform::FlushFiles({file.temporary}); });
      GoOn(file, [&] {
        // Windows will not replace a read-only file.
        if (Platform::FileExists(file.target)) Platform::SetReadOnly(file.target, false);
        return Step(Platform::MoveOverTarget(file.temporary, file.target));
      });
    }
    if (!Platform::FlushFolder(targetDir_)) {
      // Not sure to be on the disk: the staged files stay for the next run.
      for (TStagedFile& file : group_) Fail(file);
    }
    for (TStagedFile& file : group_) {
      GoOn(file, [&] {
        // Windows refuses to delete a read-only file; the copy has the attribute already.
        Platform::SetReadOnly(file.source, false);
        return Step(Platform::DeleteOneFile(file.source));
      });
      if (file.failed) everyFileMoved_ = false;
    }
    group_.clear();
  }

  bool EveryFileMoved() const { return everyFileMoved_; }

 private:
  // A step of a file that is still on its way; the copy goes when the file fails.
  template <typename Action>
  void GoOn(TStagedFile& file, Action step) {
    if (file.failed) return;
    if (!Try(file, /*withinTry=*/true, step) && !file.temporary.empty()) {
      Platform::SetNormalAttributes(file.temporary);
      Platform::DeleteOneFile(file.temporary);
    }
  }

  // Runs the step until it succeeds or the file's 100 tries are used up, each try announced
  // and each failure followed by a pause. A step within a try that already succeeded in part
  // goes first without a new announcement.
  template <typename Action>
  bool Try(TStagedFile& file, bool withinTry, Action step) {
    if (withinTry && file.tries > 0) {
      if (step()) return true;
      services_.Sleep(kPauseAfterFailedCopy);
    }
    while (file.tries < kCopyTries) {
      ++file.tries;
      Log(sink_, RTL::Text::Format(Strings::kCopyingFile, {file.source, file.tries}));
      if (step()) return true;
      services_.Sleep(kPauseAfterFailedCopy);
    }
    Fail(file);
    return false;
  }

  // Passes a step's result on, after the pace the services may set.
  bool Step(bool succeeded) const {
    if (services_.HandOverStep) services_.HandOverStep();
    return succeeded;
  }

  void Fail(TStagedFile& file) {
    if (file.failed) return;
    file.failed = true;
    Log(sink_, RTL::Text::Format(Strings::kCopyFailed, {file.source}));
  }

  const LogSink& sink_;
  const TJobServices& services_;
  const std::string targetDir_;
  std::vector<TStagedFile> group_;
  bool everyFileMoved_ = true;
};

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
  RemoveInterruptedCopies(targetDir);

  THandOver handOver(sink, services, targetDir);
  for (const std::string& file : StagedFiles(sourceDir)) handOver.Add(file);
  handOver.Complete();
  // A file that was never installed must not be lost with the staging folder: then the
  // folder stays, with every file still in it, for the next attempt or a person to look at.
  if (handOver.EveryFileMoved() && Platform::DirectoryExists(sourceDir)) RemoveTree(sourceDir);
}

}  // namespace Update::Work
