// Update: installs the next version of a desktop application that staged it and closed.

#include "reporter/core/crash_reporter.h"
#include "updater/console_sink.h"
#include "updater/program/job_services.h"
#include "updater/work.h"

int main() {
  // First, so that every failure from here on, in any thread, is reported.
  const Reporter::TCrashReporter reporter;
  // The job runs under the last-chance guard: an exception that leaves it is reported after
  // its clean-up (the lock file) has run, and the process ends with exit code 1.
  return Reporter::RunMainBlock([] {
    Update::Work::RunUpdate(Update::ConsoleSink(), Update::Program::JobServices());
    return 0;
  });
}
