// Update: installs the next version of a desktop application that staged it and closed.

#include <exception>

#include "platform/console.h"
#include "reporter/report/system_lists/system_list_plugins.h"
#include "updater/console_sink.h"
#include "updater/last_chance.h"
#include "updater/work.h"

int main() {
  // The crash reporter's lists of modules, processes and hardware, for the report of a
  // failure; registered until the process ends.
  const Reporter::Report::TSystemListPlugins systemLists;
  // The last-chance guard: catching here makes the job's clean-up (the lock file) run
  // before the failure is reported.
  try {
    Update::Work::RunUpdate(Update::ConsoleSink());
  } catch (...) {
    return Update::ReportUnhandledException(std::current_exception());
  }
  Platform::Console::Flush();
  return 0;
}
