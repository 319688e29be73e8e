#pragma once

// The crash reporter of a program, from its start-up to its shutdown: every exception that no
// code of the program handles, in any thread, and every fatal runtime error is printed as a
// bug report, saved beside the executable and uploaded; the process then ends with exit
// code 1 (the main thread) or only the failing thread ends (any other thread).
namespace Reporter {

// Lives for the whole run of the program: create it first in main. Start-up takes over a
// restart hand-over, empties the reporter's temporary folder, loads the settings, tests the
// program file's checksum, enters the main thread in the thread registry, installs the
// interception (faults, std::terminate, thread creation), starts the handling thread,
// registers the system-list plugins, reserves memory for an out-of-memory report and opens the
// trace entry. Destruction undoes it in reverse, the handling thread within its time limits.
class TCrashReporter {
 public:
  TCrashReporter();
  ~TCrashReporter();
  TCrashReporter(const TCrashReporter&) = delete;
  TCrashReporter& operator=(const TCrashReporter&) = delete;

  // False when the settings switched the reporter off (then nothing is intercepted).
  bool Enabled() const { return enabled_; }

 private:
  bool enabled_ = false;
};

// Runs the program's main block under the last-chance guard: an exception that escapes it is
// reported after the unwinding has run the block's clean-up, and the process ends with exit
// code 1 (an EAbort ends it the same way without a report). Returns the block's exit code.
int RunMainBlock(int (*block)());

}  // namespace Reporter
