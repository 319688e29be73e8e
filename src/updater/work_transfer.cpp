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
  // Windows will not remove a read-only folder. Where that fails, the removal below fails.
  (void)Platform::SetNormalAttributes(directory);
  for (const Platform::DirectoryEntry& entry : Platform::ListDirectory(directory)) {
    const std::string path = RTL::Paths::Combine(directory, entry.name, /*validate=*/false);
    if (entry.isDirectory && !entry.isLink) {
      RemoveTree(path);
      continue;
    }
    // A link's attributes would be its target's on POSIX.
    if (!entry.isLink) (void)Platform::SetNormalAttributes(path);
    // What stays keeps its folder, which then stays as well.
    if (entry.isDirectory) {
      (void)Platform::RemoveEmptyDirectory(path);
    } else {
      (void)Platform::DeleteOneFile(path);
    }
  }
  (void)Platform::RemoveEmptyDirectory(directory);
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
    // One that stays is harmless: no file is installed under its name, and the next run
    // tries again.
    if (!entry.isLink) (void)Platform::SetNormalAttributes(path);
    (void)Platform::DeleteOneFile(path);
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
          Platform::Result<std::string> copy =
              Platform::CopyBesideTarget(staged.source, staged.target);
          if (copy) staged.temporary = *copy;
          return Step(copy);
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
    const bool flushed = static_cast<bool>(Platform::FlushFiles(copies));
    for (TStagedFile& file : group_) {
      if (!flushed) GoOn(file, [&] { return Platform::FlushFiles({file.temporary}); });
      GoOn(file, [&] {
        // Windows will not replace a read-only file; where this fails, so does the move.
        if (Platform::FileExists(file.target)) (void)Platform::SetReadOnly(file.target, false);
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
        // Where this fails, so does the deletion, which is tried again.
        (void)Platform::SetReadOnly(file.source, false);
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
      // A copy that stays is removed by the next run, before it copies anything.
      (void)Platform::SetNormalAttributes(file.temporary);
      (void)Platform::DeleteOneFile(file.temporary);
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

  // Passes a step's outcome on, after the pace the services may set.
  template <typename Outcome>
  bool Step(const Outcome& outcome) const {
    if (services_.HandOverStep) services_.HandOverStep();
    return static_cast<bool>(outcome);
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
  // Where clearing the attribute fails, the copy or the deletion fails and says so.
  if (Platform::FileExists(target)) (void)Platform::SetReadOnly(target, false);
  if (!Platform::CopyFileReplacing(source, target)) return false;
  // Windows refuses to delete a read-only file; the copy has the attribute already.
  (void)Platform::SetReadOnly(source, false);
  return static_cast<bool>(Platform::DeleteOneFile(source));
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
