#include "reporter/core/crash_reporter.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "platform/console.h"
#include "platform/fault_hooks.h"
#include "platform/process.h"
#include "platform/process_exit.h"
#include "platform/request_pipe.h"
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
    const std::shared_ptr<IBugReport> report = CreateReportedException(std::move(request));
    if (report) text = report->GetBugReport(true, -1);
  } catch (...) {
  }
  return text;
}

// The checksum reads the whole program file, which no run should wait for at its start: the
// handling thread tests it while the program goes on, and the console holds the program's
// first line back until the verdict is in, so that a damaged file is still told first (on the
// program's only channel; the update goes on, since stopping it would leave the installation
// half done).
constexpr std::uint32_t kFileTestWait = 10000;

struct TFileTest {
  std::shared_ptr<Settings::IModuleSettings> Settings;
  std::string FileName;
  std::unique_ptr<Platform::TSignal> Done;
  std::atomic<bool> Damaged{false};
};

// Never freed: the console may ask for the verdict late at exit.
TFileTest* gFileTest = nullptr;
bool gListenForTraces = false;

bool PrepareFileTest(const std::shared_ptr<Settings::IModuleSettings>& settings) {
  if (!settings->CheckFileCrc()) return false;
  auto test = std::make_unique<TFileTest>();
  test->Settings = settings;
  test->FileName = Integrity::OwnProgramFileName(*settings);
  test->Done = Platform::TSignal::Create();
  if (!test->Done) return false;
  gFileTest = test.release();
  return true;
}

void RunFileTest() {
  gFileTest->Damaged.store(Integrity::IsDamaged(Integrity::CheckProgramFile(gFileTest->FileName)));
  gFileTest->Done->Set();
}

std::string FileTestVerdict() {
  if (!gFileTest->Done->Wait(kFileTestWait) || !gFileTest->Damaged.load()) return {};
  return gFileTest->Settings->GetBitFaultMsg();
}

// The handling thread's first work, before it takes requests.
void FirstTasks() {
  // Without the listener a tool that asks gets no answer within its wait, and says so.
  if (gListenForTraces) (void)Platform::StartTraceListener();
  Platform::NoteMainThreadStack();
  if (gFileTest != nullptr) RunFileTest();
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
  if (valid) StartUpReportedExceptions();
  SystemLists().emplace();
  if (valid && settings->Enabled()) {
    InstallExceptionProcessing();
    InstallInterception();
    // Requests are taken from here on; the handling thread starts the thread that answers
    // them, which makes it one of the reporter's own threads, left out of the reports.
    gListenForTraces = Platform::InstallTraceEntry(&TraceText);
    const bool fileTest = PrepareFileTest(settings);
    if (fileTest) Platform::Console::PutFirst(&FileTestVerdict);
    enabled_ = StartHandlingThread(&FirstTasks);
    if (!enabled_ && gListenForTraces) Platform::RemoveTraceEntry();
    if (!enabled_ && fileTest) {
      // Without the thread the test runs here, as the first thing the program says.
      Platform::Console::PutFirst(nullptr);
      RunFileTest();
      const std::string verdict = FileTestVerdict();
      if (!verdict.empty()) Platform::Console::WriteLine(verdict);
    }
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
