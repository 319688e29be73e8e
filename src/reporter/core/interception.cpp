#include "reporter/core/interception.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/fault_hooks.h"
#include "platform/thread_hooks.h"
#include "reporter/core/exception_processing.h"
#include "reporter/core/fault_request.h"
#include "reporter/core/handling_thread.h"
#include "reporter/core/report_exception.h"
#include "reporter/core/reporter_threads.h"
#include "reporter/core/thread_registry.h"
#include "rtl/exceptions.h"

namespace Reporter::Core {
namespace {

std::terminate_handler gPreviousTerminate = nullptr;

bool OnMainThread() {
  return Platform::CurrentThreadId() == Platform::MainThreadId();
}

// Every thread the program starts: its creator is remembered for the report.
void ThreadStarted(const Platform::TThreadStart& start) {
  TThreadEntry entry;
  entry.ThreadId = start.Thread;
  entry.CreatorThreadId = start.Creator;
  entry.CreatorAddr = static_cast<std::uintptr_t>(start.CreatorAddress);
  // What the reporter's threads start (the HTTP library's threads) is the reporter's too.
  // (Assigned as one character: GCC 12 warns falsely of an overlap for `= "-"`.)
  if (IsReporterThread(start.Creator) && MarkReporterThread(start.Thread))
    entry.Name.assign(1, '-');
  EnterThread(entry);
}

void ThreadEnded(Platform::ThreadId thread) {
  RemoveThread(thread);
}

void ThreadNamed(Platform::ThreadId thread, const char* name) {
  NameThreadFromRequest(thread, name != nullptr ? name : "");
}

// An exception that leaves a thread function, a noexcept function or a destructor ends up
// here, as does a call of std::terminate without one (a fatal runtime error).
[[noreturn]] void OnTerminate() {
  if (HandlingThreadForgotten()) {
    // A forked child ends as it would without the reporter.
    if (gPreviousTerminate != nullptr) gPreviousTerminate();
    std::abort();
  }
  const std::exception_ptr exception = std::current_exception();
  if (exception) ReportEscapedException(exception);
  TExceptionRequest request;
  request.ExceptObject = std::make_exception_ptr(RTL::ESubstituteException(kRuntimeErrorMessage));
  request.Source = esRuntimeError;
  request.CanContinue = false;
  ReportException(std::move(request));
  CloseProcess();
}

}  // namespace

void ReportEscapedException(std::exception_ptr exception) {
  const bool mainThread = OnMainThread();
  TExceptionRequest request;
  request.ExceptObject = std::move(exception);
  request.Source = esExceptProc;
  request.CanContinue = !mainThread;
  ReportException(std::move(request));
  if (mainThread) CloseProcess();
  // The thread cannot return into the code it escaped from: it ends here.
  RemoveThread(Platform::CurrentThreadId());
  Platform::ExitCurrentThread();
}

void TInterceptionPlatform::TellOnStandardError(const std::string& line) {
  std::fputs((line + '\n').c_str(), stderr);
  std::fflush(stderr);
}

bool InstallInterception(const TInterceptionPlatform& platform) {
  gPreviousTerminate = std::set_terminate(&OnTerminate);
  const bool faultsHooked = platform.InstallFaultHook(&OnFault);
  Platform::SetForkedChildHook(&ForgetHandlingThreadInChild);
  Platform::SetThreadNameHook(&ThreadNamed);
  const bool threadsHooked = platform.InstallThreadHooks(&ThreadStarted, &ThreadEnded);
  if (faultsHooked && threadsHooked) return true;
  // Developer-facing, so English; the update must not stop for it.
  std::string missing;
  if (!faultsHooked) missing = "the fault hook (processor faults and aborts go unreported)";
  if (!threadsHooked) {
    if (!missing.empty()) missing += " and ";
    missing += "the thread hooks (new threads are not tracked)";
  }
  platform.Tell("Crash reporter: could not install " + missing + "; the program goes on.");
  return false;
}

void RemoveInterception() {
  Platform::RemoveThreadHooks();
  Platform::SetThreadNameHook(nullptr);
  Platform::SetForkedChildHook(nullptr);
  Platform::RemoveFaultHook();
  std::set_terminate(gPreviousTerminate);
}

}  // namespace Reporter::Core
