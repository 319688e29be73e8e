#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "rtl/exceptions.h"
#include "updater/log_sink.h"

// The update job: wait for the caller to close, take the lock file, move the new files in,
// run the database update, release the lock and restart the caller.
namespace Update::Work {

// The lock file could not be taken.
class EUpdateWork : public RTL::Exception {
 public:
  using RTL::Exception::Exception;
};

// What the job asks of the world beyond files, so that tests can stand in for it.
struct TJobServices {
  // Pauses the given number of milliseconds.
  std::function<void(std::uint32_t milliseconds)> Sleep;
  // Whether a top-level window with this class and caption exists; null matches any.
  std::function<bool(const std::string* windowClass, const std::string* caption)> WindowExists;
  // Starts a program from a command line, waiting for its end when asked; never fails.
  std::function<void(const std::string& commandLine, bool wait)> StartProgram;
  // Called after each step of the hand-over (a copy, a move, a deletion) when set; the real
  // program leaves it empty. The tests' build of the program paces the hand-over with it, so
  // that a kill at a random moment can land between any two steps.
  std::function<void()> HandOverStep;

  // The real ones: the platform's sleep, window lookup and process launcher.
  static TJobServices Real();
};

inline constexpr const char* kLockFileName = "update.neb";
inline constexpr int kCallerProbes = 1000;
inline constexpr std::uint32_t kPauseAfterProbing = 5000;
inline constexpr std::int32_t kLockRetries = 1000;
inline constexpr std::int32_t kLockWaitTime = 200;
inline constexpr int kCopyTries = 100;
inline constexpr std::uint32_t kPauseAfterFailedCopy = 2000;

// The whole job. Returns after a completed run and after an early end (a directory is
// missing); every failure leaves it as an exception, after the lock file was removed.
void RunUpdate(const LogSink& sink, const TJobServices& services = TJobServices::Real());

// Probes up to 1000 times for the caller's main window, then pauses 5 seconds.
void WaitForCaller(const LogSink& sink, const TJobServices& services = TJobServices::Real());

// Moves every top-level file of the staging folder into the installation folder, up to 100
// tries per file. Each file is copied beside its target, flushed, renamed over the target and
// only then deleted from the staging folder (files go in groups that share one flush), so a
// kill or a power cut leaves every installed file whole and every file not yet installed
// staged; temporary copies an interrupted run left are removed first. The staging folder is
// removed only when every file was moved, so that a new file that could not be installed is
// never lost.
void TransferFiles(const LogSink& sink, const TJobServices& services = TJobServices::Real());

// Copies source over target (a read-only target included), durably, and deletes the source.
bool CopyAndDelete(const std::string& source, const std::string& target);

// The caller's settings file: i:, else the profile folder, else the caller's own folder.
// Raises RTL::Exception "Datei nicht gefunden! ..." when there is none.
std::string FindIniFile();
// The settings file of a known executable in a folder (ending with a separator), if it exists.
std::string IniFileOfProgram(const std::string& directory, const std::string& exeName);

// Runs the database-update tool of the installation folder with the switches of the
// caller's settings file and waits for its end.
void RunDatabaseUpdate(const TJobServices& services = TJobServices::Real());
// The tool's command line for these parameters: its path, quoted when it holds a blank.
std::string DatabaseUpdateCommandLine(const std::string& destDir, const std::string& params);

// Starts the command line, or the caller's executable (p:) when it is empty.
void RunCommand(const std::string& commandLine, bool wait,
                const TJobServices& services = TJobServices::Real());

// The text after the first l:/ of the raw command line, trimmed, quotes kept as written.
std::string GetRestartCommand();

// A program path as one token of a command line: in double quotes when it holds a blank.
std::string QuoteProgramPath(const std::string& path);

}  // namespace Update::Work
