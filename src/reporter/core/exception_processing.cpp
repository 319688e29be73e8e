#include "reporter/core/exception_processing.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

#include "platform/console.h"
#include "platform/process_exit.h"
#include "platform/restart_handover.h"
#include "reporter/core/exception_history.h"
#include "reporter/core/report_values.h"
#include "reporter/core/reporter_threads.h"
#include "reporter/core/temporary_folder.h"
#include "reporter/delivery/deliver_bug_report.h"
#include "reporter/report/file/bug_report_file.h"
#include "reporter/report/minidump/bug_report_dump.h"
#include "rtl/class_names.h"
#include "rtl/exceptions.h"
#include "rtl/os_exceptions.h"

namespace Reporter::Core {
namespace {

// The uploads that exceptions started and that have not ended yet.
std::mutex gUploadsLock;
std::condition_variable gUploadEnded;
int gRunningUploads = 0;

void UploadStarted() {
  std::lock_guard guard(gUploadsLock);
  ++gRunningUploads;
}

void UploadEnded() {
  {
    std::lock_guard guard(gUploadsLock);
    --gRunningUploads;
  }
  gUploadEnded.notify_all();
}

// Every step of the processing runs in a guard of its own: a failure of the reporter is
// swallowed so that the failing thread is always released.
template <typename Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

// No action handlers can be registered in this program, so none ever handles an action.
bool FireActionHandlers(IReportedException&, TExceptAction) {
  return false;
}

// Writes a text of "\r\n"-separated lines line by line, so that standard output keeps the
// platform's own line ends when it is redirected.
void WriteLines(std::string_view text) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    std::string_view line =
        text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Platform::Console::WriteLine(line);
    if (end == std::string_view::npos) return;
    start = end + 1;
  }
}

void CloseSequence(IReportedException& reported) {
  FireActionHandlers(reported, eaCloseApplication);
  FinishAutoActions(reported, true);
  reported.CloseApplication();
  CloseProcess();  // when no close action is installed
}

void RestartSequence(IReportedException& reported) {
  FireActionHandlers(reported, eaRestartApplication);
  FinishAutoActions(reported, true);
  reported.RestartApplication();
  RestartProcess();
}

void ShowAndDecide(IReportedException& reported, bool handled) {
  if (!handled) {
    Guarded([&] {
      if (reported.GetAutoSave() || reported.GetAutoSend() || reported.GetAutoClipboard()) {
        reported.RegisterBugReportCallback(&AutoActionsCallback, true);
      }
    });
    Guarded([&] {
      if (reported.GetShowSetting() != Settings::ssNothing) reported.Show();
    });
  }
  const bool canContinue = reported.GetCanContinue();
  if (RecentProcessExceptionsWithin(reported.GetAutoClose())) {
    CloseSequence(reported);
  } else if (!canContinue && !RecentProcessExceptionsWithin(reported.GetAutoRestart())) {
    CloseSequence(reported);
  } else if (RecentProcessExceptionsWithin(reported.GetAutoRestart())) {
    RestartSequence(reported);
  } else {
    Guarded([&] { FireActionHandlers(reported, eaContinueApplication); });
    Guarded([&] { reported.ContinueApplication(); });
  }
  if (!handled) Guarded([&] { FinishAutoActions(reported, false); });
}

// The failing thread as the dump shows it: a fault's registers, or those of the point where
// the program's exception was raised with the stack as it was then.
Report::Minidump::TFailingThread FailingThreadOf(IExceptionFacts& reported) {
  Report::Minidump::TFailingThread failing;
  failing.Id = reported.GetCrashedThreadId();
  failing.ExceptAddr = reported.GetExceptAddr();
  if (const Platform::TThreadContext* context = reported.GetContext()) failing.Context = *context;
  const std::exception_ptr object = reported.GetExceptObject();
  if (const RTL::Exception* exception = RTL::AsException(object)) {
    if (const auto* fault = dynamic_cast<const RTL::EExternal*>(exception)) {
      failing.Code = fault->Code();
      failing.Address = fault->Fault().AccessAddress;
      failing.Write = fault->Fault().Access == RTL::TAccessKind::Write;
    } else if (const RTL::TRaiseContext* raised = exception->RaiseContext();
               raised != nullptr && failing.Context &&
               raised->Registers.Sp == failing.Context->Sp) {
      failing.StackSnapshot = raised->Stack;
    }
  }
  return failing;
}

// Written once per exception, by the handling thread as soon as the report is under way, at
// the latest with the report file; a dump that fails leaves the rest of the processing as it
// is.
std::string SaveDumpOnce(IReportedException& reported) {
  return reported.DumpFileOnce([&reported]() -> std::string {
    if (!reported.GetSaveBugReportDump()) return {};
    return Report::SaveBugReportDump(reported, FailingThreadOf(reported));
  });
}

}  // namespace

void InstallExceptionProcessing() {
  TExceptionActions actions;
  actions.Show = &PrintToConsole;
  actions.CloseApplication = [](IReportedException&) { CloseProcess(); };
  actions.RestartApplication = [](IReportedException&) { RestartProcess(); };
  SetExceptionActions(actions);
}

void ProcessException(TExceptionRequest request) {
  Guarded([] { ClearReporterTemporaryFolder(); });
  std::shared_ptr<IReportedException> reported;
  Guarded([&] { reported = CreateReportedException(std::move(request)); });
  if (!reported) return;
  Guarded([&] {
    reported->SetPhase(epQuickFiltering);
    bool handled = false;
    if (reported->GetExceptType() == etHidden) {
      handled = true;
      reported->FireHandlers(epQuickFiltering, handled);
    } else {
      RecordProcessException();
      reported->FireHandlers(epQuickFiltering, handled);
    }
    reported->SetPhase(epMainPhase);
    if (handled) return;

    // Without waiting: this creates the header and the placeholder sections and starts the
    // completion thread, which walks the stacks while the message is printed.
    Guarded([&] {
      if (reported->GetCreateBugReport()) reported->GetBugReport(false, 0);
    });
    // While the completion thread walks the stacks: the dump shows every thread as near to
    // the failure as it can, and is there before the upload that sends it.
    Guarded([&] {
      if (reported->GetCreateBugReport()) SaveDumpOnce(*reported);
    });
    reported->FireHandlers(epMainPhase, handled);
    reported->SetPhase(epPostProcessing);
    if (!handled) reported->FireHandlers(epPostProcessing, handled);
    if (handled && reported->GetCanContinue()) return;
    ShowAndDecide(*reported, handled);
  });
  // The upload of a thread that goes on finishes on its own.
  Guarded([&] {
    if (reported->PSendThread().joinable()) reported->PSendThread().detach();
  });
}

void PrintToConsole(IReportedException& reported) {
  const bool frozen = reported.GetExceptType() == etFrozen;
  const std::string message =
      Settings::ExpandPlaceholders(frozen ? reported.GetFrozenMsg() : reported.GetExceptMsg(), 0,
                                   reported.GetExceptClass(), "", "", reported.GetExceptMessage());
  WriteLines(message);
  if (reported.GetAutoShowBugReport() || reported.GetShowBtnVisible()) {
    reported.SetShowPleaseWaitBox(false);
    Platform::Console::WriteLine("");
    WriteLines(reported.GetBugReport(true, -1));
  }
}

void AutoActionsCallback(bool complete, const std::string& bugReport,
                         const std::shared_ptr<IReportedException>& exceptIntf) {
  if (!complete || !exceptIntf || !exceptIntf->FirstCompleteCallback()) return;
  IReportedException& reported = *exceptIntf;
  if (reported.GetAutoSend() && !bugReport.empty() &&
      !FireActionHandlers(reported, eaSendBugReport)) {
    Delivery::TDeliveryRequest request;
    request.settings = exceptIntf;
    request.bugReport = bugReport;
    request.values = ReportValuesOf(reported);
    request.reportWasSaved = reported.GetMailWasSaved();
    const std::weak_ptr<IReportedException> weak = exceptIntf;
    request.markSent = [weak] {
      if (const auto owner = weak.lock()) owner->SetMailWasSent(true);
    };
    request.markNotSaved = [weak] {
      if (const auto owner = weak.lock()) owner->SetMailWasSaved(false);
    };
    request.mayUseThread = false;  // this is the thread of its own
    request.background = true;
    std::thread& sendThread = reported.PSendThread();
    if (sendThread.joinable()) sendThread.detach();
    UploadStarted();
    try {
      sendThread = std::thread([request = std::move(request), owner = exceptIntf]() mutable {
        {
          const TReporterThread reporterThread(kUploadThreadName);
          // The report's last references go before the upload counts as ended: a program that
          // ends once its uploads have ended must not have this thread release the report
          // (its settings, its named lock) while the program's own clean-up runs.
          Delivery::TDeliveryRequest job = std::move(request);
          const std::shared_ptr<IReportedException> reported = std::move(owner);
          try {
            // The handling thread writes it; this waits for that when it is still at it.
            Guarded([&] { job.dumpFile = SaveDumpOnce(*reported); });
            Delivery::DeliverBugReport(std::move(job));
          } catch (...) {
          }
        }
        UploadEnded();
      });
    } catch (...) {
      UploadEnded();
    }
    FireActionHandlers(reported, eaSendBugReport3);
  }
  if (!reported.GetAutoClipboard()) reported.UnregisterBugReportCallback(&AutoActionsCallback);
}

void FinishAutoActions(IReportedException& reported, bool waitForSend) {
  Guarded([&] {
    // No handlers for the completed report can be registered here; a critical callback
    // (the upload) needs the complete report.
    if (reported.CriticalBugReportCallbackExists()) reported.GetBugReport(true, -1);
  });
  Guarded([&] { AutoSaveOnce(reported, true); });
  Guarded([&] {
    std::thread& sendThread = reported.PSendThread();
    if (waitForSend && sendThread.joinable()) sendThread.join();
  });
}

void AutoSaveOnce(IReportedException& reported, bool final) {
  if (!reported.GetAutoSave()) return;
  if (reported.GetAutoSaveIfNotSent() && (!final || reported.GetMailWasSent())) return;
  if (!reported.FirstAutoSave()) return;
  const std::string report = reported.GetBugReport(true, -1);
  if (report.empty() || FireActionHandlers(reported, eaSaveBugReport)) return;
  if (Report::SaveBugReportFile("", report, reported, true)) reported.SetMailWasSaved(true);
  Guarded([&] { SaveDumpOnce(reported); });
  FireActionHandlers(reported, eaSaveBugReport3);
}

void CloseProcess() {
  // Callers capture the output through a file or a pipe, where it is buffered: ending the
  // process without writing it would lose the report.
  Platform::Console::Flush();
  Platform::ExitProcessNow(1);
}

void RestartProcess() {
  Platform::Console::Flush();
  // Without a new process this one still ends, as it would without the restart.
  (void)Platform::RestartOwnProcess(HistoryToBytes(ProcessExceptionHistory()));
  Platform::ExitProcessNow(1);
}

bool UploadRunning() {
  std::lock_guard guard(gUploadsLock);
  return gRunningUploads > 0;
}

bool WaitForUploads(std::uint32_t milliseconds) {
  std::unique_lock lock(gUploadsLock);
  return gUploadEnded.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [] { return gRunningUploads == 0; });
}

void ClearReporterTemporaryFolder() {
  // An earlier exception's upload may still attach its copy from there.
  if (!UploadRunning()) RemoveReporterTemporaryFolder();
}

}  // namespace Reporter::Core
