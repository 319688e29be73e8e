// CrashMatrix <row>: a program with the crash reporter that fails in
// the way the row names, for the tests that watch it from outside. It prints "row <row>" first,
// as a program's own output before its failure. The rows:
//   null-read, null-write, divide-by-zero, stack-overflow   faults of the processor
//   abort, runtime-error, throw-int                         fatal ends and exceptions
//   thread-exception, two-threads                           exceptions of secondary threads
//   eabort, db-edit-error, broken-plugin                    special classes, a failing plugin
//   reporter-thread-fault                                   a fault on a thread of the reporter
//   park                                                    says its process id (and no
//                                    "row" line first) and waits, with a second thread, until
//                                    its standard input ends
// A last argument "without-dump" switches the crash dump off.
#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fakes/ready_release.h"
#include "platform/console.h"
#include "platform/process.h"
#include "platform/sanitizer_exemptions.h"
#include "platform/system_lists.h"
#include "reporter/core/crash_reporter.h"
#include "reporter/core/reporter_threads.h"
#include "reporter/report/system_lists/bug_report_plugins.h"
#include "reporter/settings/reporter_settings.h"
#include "rtl/exceptions.h"
#include "rtl/parameters.h"

namespace {

// Volatile so that the optimizer neither sees the null pointer nor the zero divisor.
int* volatile gNull = nullptr;
volatile int gDividend = 7;
volatile int gDivisor = 0;
volatile bool gStopRecursion = false;

class EFieldRejected : public RTL::EDBEditError {
 public:
  using RTL::EDBEditError::EDBEditError;
};

// The processor's faults, not a sanitizer's reports of them.
[[gnu::noinline]] UPDATE_DELIBERATE_FAULT int NullRead() {
  return *gNull;
}

[[gnu::noinline]] UPDATE_DELIBERATE_FAULT int NullWrite() {
  *gNull = 1;
  return 0;
}

[[gnu::noinline]] UPDATE_DELIBERATE_FAULT int DivideByZero() {
  return gDividend / gDivisor;
}

// Uses its frame after the call, so that the recursion is no tail call the optimizer could
// turn into a loop.
[[gnu::noinline]] int Recurse(int depth) {
  volatile char frame[512];
  frame[depth % sizeof frame] = static_cast<char>(depth);
  if (gStopRecursion) return depth;
  return Recurse(depth + 1) + frame[depth % sizeof frame];
}

[[gnu::noinline]] void FailInFirstThread() {
  throw std::runtime_error("Erster Nebenthread gescheitert");
}

[[gnu::noinline]] void FailInSecondThread() {
  throw std::logic_error("Zweiter Nebenthread gescheitert");
}

std::string BrokenPlugin() {
  throw std::runtime_error("plugin broken");
}

void Print(const std::string& line) {
  Platform::Console::WriteLine(line);
  Platform::Console::Flush();
}

// Both threads read standard input to its end. The main thread waits in the row itself: a
// wait in std::thread::join shows no caller under Wine.
[[gnu::noinline]] void WaitInParkRow() {
  std::thread companion(Fakes::WaitForRelease);
  Print(std::to_string(Platform::CurrentProcessId()));
  Fakes::WaitForRelease();
  companion.join();
}

int RunRow() {
  const auto parameters = RTL::Parameters::Split(Platform::RawCommandLine());
  const std::string row = parameters.size() > 1 ? parameters[1].text : "";
  if (parameters.size() > 2 && parameters.back().text == "without-dump") {
    (void)Reporter::Settings::SettingsForModule(0)->SetPropBool("BugRepDump", false);
  }
  if (row == "park") {
    WaitInParkRow();
    return 0;
  }
  Print("row " + row);
  if (row == "null-read") return NullRead();
  if (row == "null-write") return NullWrite();
  if (row == "divide-by-zero") return DivideByZero();
  if (row == "stack-overflow") return Recurse(0);
  if (row == "abort") std::abort();
  if (row == "runtime-error") throw std::runtime_error("Die Zeile ist gescheitert");
  if (row == "throw-int") throw 42;
  if (row == "thread-exception") {
    std::thread failing(FailInFirstThread);
    failing.join();
    Print("after the join");
    return 0;
  }
  if (row == "two-threads") {
    // A spinning gate, not std::latch: built with MinGW and run under wine64, a thread asleep
    // in the latch missed its wake-up about once in ten runs, while the other thread's report
    // was being made, and slept for good.
    std::atomic<int> arrived{0};
    const auto start = [&arrived] {
      arrived.fetch_add(1);
      while (arrived.load() < 2) std::this_thread::yield();
    };
    std::thread first([&] {
      start();
      FailInFirstThread();
    });
    std::thread second([&] {
      start();
      FailInSecondThread();
    });
    first.join();
    second.join();
    Print("after the joins");
    return 0;
  }
  if (row == "eabort") throw RTL::EAbort();
  if (row == "db-edit-error") throw EFieldRejected("Kein gültiges Datum");
  if (row == "broken-plugin") {
    Reporter::Report::AddBugReportPlugin("broken", "throws instead of listing", BrokenPlugin, true);
    throw std::runtime_error("Bericht mit kaputtem Plugin");
  }
  if (row == "reporter-thread-fault") {
    // As the upload thread would fault, which the handling thread may be waiting for.
    std::thread upload([] {
      const Reporter::Core::TReporterThread reporterThread(Reporter::Core::kUploadThreadName);
      NullWrite();
    });
    upload.join();
    Print("after the join");
    return 0;
  }
  Print("unknown row");
  return 2;
}

}  // namespace

int main() {
  const Reporter::TCrashReporter reporter;
  return Reporter::RunMainBlock(RunRow);
}
