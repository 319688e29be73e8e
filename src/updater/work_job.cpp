#include <memory>

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/window.h"
#include "rtl/io/io_utils.h"
#include "rtl/io/paths.h"
#include "rtl/text.h"
#include "updater/create_process.h"
#include "updater/strings.h"
#include "updater/switches.h"
#include "updater/work.h"

namespace Update::Work {
namespace {

// The staging or installation folder as the job tests it: one trailing separator removed.
bool IsExistingDirectory(const std::string& path) {
  return Platform::DirectoryExists(RTL::Paths::ExcludeTrailingSeparator(path));
}

// Takes the lock file and keeps it open, exclusively, until it is released: a second updater
// of the same installation waits for it as for any file another process holds.
std::unique_ptr<RTL::TFileStream> TakeLockFile(const std::string& lockFile,
                                               const TJobServices& services) {
  const RTL::IOUtils::TWaitForFileWritable waitForFile(services.Sleep);
  std::unique_ptr<RTL::TFileStream> lock;
  if (!waitForFile.Execute(lockFile, kLockRetries, kLockWaitTime, /*AClearFile=*/false, lock)) {
    throw EUpdateWork(RTL::Text::Format(Strings::kLockFileNotCreated, {lockFile}));
  }
  return lock;
}

// Removed while still held, and only then closed: a waiting updater never gets hold of the
// file in between and goes on believing it holds a lock that is gone.
void ReleaseLockFile(const std::string& lockFile, std::unique_ptr<RTL::TFileStream>& lock,
                     const TJobServices& services) {
  RTL::IOUtils::DeleteFileWithRetries(lockFile, services.Sleep);
  lock.reset();
}

}  // namespace

TJobServices TJobServices::Real() {
  TJobServices services;
  services.Sleep = [](std::uint32_t milliseconds) { Platform::SleepMilliseconds(milliseconds); };
  services.WindowExists = [](const std::string* windowClass, const std::string* caption) {
    return Platform::TopLevelWindowExists(windowClass, caption);
  };
  services.StartProgram = [](const std::string& commandLine, bool wait) {
    CreateProcess::StartProgram(commandLine, wait);
  };
  return services;
}

void WaitForCaller(const LogSink& sink, const TJobServices& services) {
  const std::string windowClass = Switches::GetCallerClass();
  const std::string caption = Switches::GetCallerCaption();
  // An empty switch means no value at all, which matches any window.
  const std::string* classOrAny = windowClass.empty() ? nullptr : &windowClass;
  const std::string* captionOrAny = caption.empty() ? nullptr : &caption;
  for (int probe = 0; probe < kCallerProbes; ++probe) {
    if (!services.WindowExists(classOrAny, captionOrAny)) break;
    Log(sink, RTL::Text::Format(Strings::kCallerStillRunning, {windowClass, caption}));
  }
  services.Sleep(kPauseAfterProbing);
}

void RunUpdate(const LogSink& sink, const TJobServices& services) {
  Log(sink, Strings::kParsingParameters);
  Switches::ParseWindowSwitches();

  Log(sink, Strings::kCheckingDirectories);
  if (!IsExistingDirectory(Switches::GetSourceDir())) return;
  if (!IsExistingDirectory(Switches::GetDestDir())) return;

  Log(sink, Strings::kWaitingForCaller);
  WaitForCaller(sink, services);

  const std::string lockFile =
      RTL::Paths::Combine(Switches::GetDestDir(), kLockFileName, /*validate=*/true);
  // A lock file that another process holds is left alone: removing it would break that
  // process's lock (POSIX), or fail and hide why the update stopped (Windows).
  std::unique_ptr<RTL::TFileStream> lock = TakeLockFile(lockFile, services);
  // From here the lock file goes on every path; should its removal fail, that error
  // replaces whatever was already on its way out.
  try {
    Log(sink, Strings::kCollectingFiles);
    TransferFiles(sink, services);
    Log(sink, Strings::kRunningDatabaseUpdate);
    RunDatabaseUpdate(services);
  } catch (...) {
    ReleaseLockFile(lockFile, lock, services);
    throw;
  }
  ReleaseLockFile(lockFile, lock, services);

  Log(sink, Strings::kRestartingCaller);
  RunCommand(GetRestartCommand(), /*wait=*/false, services);
}

}  // namespace Update::Work
