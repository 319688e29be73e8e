#include "reporter/core/crash_reporter.h"

#include <memory>
#include <optional>

#include "platform/console.h"
#include "platform/process.h"
#include "platform/process_exit.h"
#include "platform/restart_handover.h"
#include "platform/thread_hooks.h"
#include "platform/trace_request.h"
#include "reporter/core/exception_history.h"
#include "reporter/core/exception_processing.h"
#include "reporter/core/handling_thread.h"
#include "reporter/core/interception.h"
#include "reporter/core/report_exception.h"
#include "reporter/core/reporter_threads.h"
#include "reporter/core/start_up.h"
#include "reporter/core/temporary_folder.h"
#include "reporter/core/thread_registry.h"
#include "reporter/integrity/program_file_check.h"
#include "reporter/report/system_lists/system_list_plugins.h"
#include "reporter/settings/reporter_settings.h"
#include "rtl/class_names.h"

namespace Reporter {
namespace {

using namespace Core;

constexpr std::uint32_t kUploadWaitAtExit = 30000;

// The report of every thread that an outside tool asks for, built on the entry's own thread.
std::string TraceText(std::int32_t) {
  const TReporterThread reporterThread(kTraceThreadName);
  std::string text;
  try {
    // As a frozen program is reported: the main thread stands where it was met.
    TExceptionRequest request;
    request.ThreadId = Platform::MainThreadId();
    request.ExceptType = etFrozen;
    request.CanContinue = true;
    if (const auto context = Platform::CaptureThreadContext(request.ThreadId)) {
      request.Context = *context;
      request.ExceptAddr = static_cast<Address>(context->Ip);
      request.StackPointer = static_cast<Address>(context->Sp);
      request.FramePointer = static_cast<Address>(context->Bp);
    }
    const auto reported = CreateReportedException(std::move(request));
    if (reported) text = reported->GetBugReport(true, -1);
  } catch (...) {
  }
  return text;
}

// A damaged program file is told on the program's only channel; the update goes on, since
// stopping it would leave the installation half done.
void TestProgramFile(Settings::IModuleSettings& settings) {
  if (!settings.Enabled() || !settings.CheckFileCrc()) return;
  const auto check = Integrity::CheckOwnProgramFile(settings);
  if (check.Damaged()) Platform::Console::WriteLine(check.FaultMessage);
}

void StartTraceListener() {
  Platform::StartTraceListener();
}

std::optional<Report::TSystemListPlugins>& SystemLists() {
  static std::optional<Report::TSystemListPlugins> lists;
  return lists;
}

}  // namespace

TCrashReporter::TCrashReporter() {
  if (const auto handover = Platform::TakeRestartHandover()) {
    SetProcessExceptionHistory(HistoryFromBytes(*handover));
  }
  RemoveReporterTemporaryFolder();
  const auto settings = Settings::SettingsForModule(0);
  const bool valid = settings && settings->IsValid();
  if (valid) TestProgramFile(*settings);
  if (valid) StartUpReportedExceptions();
  SystemLists().emplace();
  if (valid && settings->Enabled()) {
    InstallExceptionProcessing();
    InstallInterception();
    // Requests are taken from here on; the handling thread starts the thread that answers
    // them, which makes it one of the reporter's own threads, left out of the reports.
    const bool traceEntry = Platform::InstallTraceEntry(&TraceText);
    enabled_ = StartHandlingThread(traceEntry ? &StartTraceListener : nullptr);
    if (!enabled_ && traceEntry) Platform::RemoveTraceEntry();
    OutOfMemoryReserve().Reserve();
  }
}

TCrashReporter::~TCrashReporter() {
  if (enabled_) Platform::RemoveTraceEntry();
  SystemLists().reset();
  if (enabled_) {
    OutOfMemoryReserve().Release();
    StopHandlingThread();
    RemoveInterception();
  }
}

int RunMainBlock(int (*block)()) {
  int exitCode = 1;
  try {
    exitCode = block();
  } catch (...) {
    // Caught here, after the unwinding has run the block's clean-up (the job's lock file).
    if (HandlingThreadRunning()) ReportEscapedException(std::current_exception());
    // Without the reporter the failure is still told, briefly.
    const RTL::TExceptionFacts facts = RTL::ExceptionFactsOf(std::current_exception());
    Platform::Console::WriteLine(facts.ClassName + ": " + facts.Message);
    exitCode = 1;
  }
  Platform::Console::Flush();
  // The upload of a report from a thread that went on may still run; the end of the program
  // must neither cut it off nor pull the runtime from under it. One that hangs beyond the time
  // ends the process without the runtime's shutdown.
  if (!WaitForUploads(kUploadWaitAtExit))
    Platform::ExitProcessNow(static_cast<std::uint32_t>(exitCode));
  return exitCode;
}

}  // namespace Reporter
