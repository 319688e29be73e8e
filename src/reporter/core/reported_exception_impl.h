#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "reporter/core/class_filter.h"
#include "reporter/core/report_cache.h"
#include "reporter/core/reported_exception.h"
#include "reporter/report/sections/report_text.h"
#include "reporter/settings/settings_module.h"

namespace Reporter::UI {
class IProgressAlert;
}

// The reported exception's implementation, split over the files that do one part each:
// reported_exception.cpp (facts, counters, callbacks, update bracket), reported_settings.cpp
// (its settings), report_header.cpp / report_sections.cpp (the report's first filling),
// complete_report.cpp (the completion) and bug_report_text.cpp (the text).
namespace Reporter::Core {

// One thread section of the report.
struct TThreadStack {
  Platform::ThreadId tid = 0;
  std::string threadName;  // the section title
  Address exceptAddr = 0;  // the failing thread's exception address, else 0
  bool exceptThread = false;
  bool extException = false;
  Address stackBottom = 0;
  Address stackTop = 0;
  Address creatorAddr = 0;
  Address ebp = 0;
  bool bcbTermination = false;
  std::vector<Tracer::TPreparedEntry> preparedStack;
  Tracer::TStackTrace callstack;
  Platform::ThreadId creatorTid = 0;
  std::int32_t innerExceptNo = 0;
  std::string innerExceptClass;
  std::string innerExceptMessage;
};

class TReportedException final : public IReportedException,
                                 public std::enable_shared_from_this<TReportedException> {
 public:
  TReportedException(TExceptionRequest request,
                     std::shared_ptr<Settings::IModuleSettings> settings);
  ~TReportedException() override;
  // The deleter of every reference to the object (see CreateReportedException).
  static void Release(TReportedException* object);
  TReportedException(const TReportedException&) = delete;
  TReportedException& operator=(const TReportedException&) = delete;

  // --- settings (reported_settings.cpp)
  bool GetPropBool(std::string_view name) override;
  std::int32_t GetPropInt(std::string_view name) override;
  std::uint32_t GetPropDw(std::string_view name) override;
  std::string GetPropStr(std::string_view name) override;
  bool SetPropBool(std::string_view name, bool value) override;
  bool SetPropInt(std::string_view name, std::int32_t value) override;
  bool SetPropDw(std::string_view name, std::uint32_t value) override;
  bool SetPropStr(std::string_view name, std::string_view value) override;
  Settings::TReporterSettings* GetSelf() override;
  void FillFormCache(Settings::IFieldList& values) override;
  void ReadFormCache(Settings::IFieldList& values) override;
  Platform::ModuleHandle Module() override;
  std::shared_ptr<Settings::IFieldList> GetAdditionalFields() override;
  std::shared_ptr<Settings::IAttachmentList> GetAdditionalAttachments() override;
  std::string VersionVar() override;
  std::shared_ptr<Settings::IModuleSettings> ModuleSettings() override { return settings_; }

  void SetInner(std::vector<TInnerException> inner) override;

  // --- the facts (reported_exception.cpp)
  TExceptType GetExceptType() override { return request_.ExceptType; }
  std::exception_ptr GetExceptObject() override { return request_.ExceptObject; }
  std::string GetExceptClass() override;
  std::string GetExceptMessage() override;
  Address GetExceptAddr() override { return request_.ExceptAddr; }
  Platform::ThreadId GetCrashedThreadId() override { return request_.ThreadId; }
  TExceptSource GetSource() override { return request_.Source; }
  const Platform::TThreadContext* GetContext() override {
    return request_.Context ? &*request_.Context : nullptr;
  }
  Settings::TLocalTime GetTime() override { return time_; }
  bool GetCreateBugReport() override { return filter_.CreateBugReport; }
  bool GetCreateScreenShot() override { return filter_.CreateScreenShot; }
  bool GetCallHandlers() override { return filter_.CallHandlers; }
  Settings::TShowSetting GetShowSetting() override { return filter_.ShowSetting; }
  std::string GetShowAssistant() override { return filter_.ShowAssistant; }
  std::vector<TInnerException> GetInner() override;

  // --- the phase and the ways on (reported_exception.cpp)
  TExceptPhase GetPhase() override { return phase_.load(); }
  void SetPhase(TExceptPhase phase) override { phase_.store(phase); }
  bool GetCanContinue() override { return canContinue_.load(); }
  void SetCanContinue(bool value) override { canContinue_.store(value); }
  void FireHandlers(TExceptPhase phase, bool& handled) override;
  void Show() override;
  void ContinueApplication() override;
  void RestartApplication() override;
  void CloseApplication() override;

  // --- the delivery state
  bool GetMailWasSent() override { return mailWasSent_.load(); }
  void SetMailWasSent(bool value) override { mailWasSent_.store(value); }
  bool GetMailWasSaved() override { return mailWasSaved_.load(); }
  void SetMailWasSaved(bool value) override { mailWasSaved_.store(value); }
  bool FirstCompleteCallback() override { return ++firstCompleteCallback_ == 0; }
  bool FirstAutoSave() override { return ++firstAutoSave_ == 0; }
  std::string DumpFileOnce(const std::function<std::string()>& write) override {
    std::call_once(dumpWritten_, [&] { dumpFile_ = write(); });
    return dumpFile_;
  }
  std::thread& PSendThread() override { return sendThread_; }

  // --- the report (reported_exception.cpp: callbacks, update bracket; the others: below)
  void RegisterBugReportCallback(TBugReportCallback callback, bool critical) override;
  void UnregisterBugReportCallback(TBugReportCallback callback) override;
  bool CriticalBugReportCallbackExists() override;
  void BeginUpdate() override;
  void EndUpdate() override;
  void SetModified() override;
  std::shared_ptr<Settings::IFieldList> GetBugReportHeader() override;
  std::shared_ptr<Settings::IFieldList> GetBugReportSections() override;
  std::string GetBugReport(bool mustBeComplete, std::int32_t timeoutMilliseconds) override;
  void SetBugReport(const std::string& text) override;
  bool GetComplete() override { return complete_.load(); }
  void SetDontCompleteYet(bool value) override { dontCompleteYet_.store(value); }
  void CompleteBugReport() override;
  std::thread::id GetCompleteThreadId() override;
  Platform::ThreadId GetThreadId(int index) override;
  Tracer::TStackTrace GetCallstack(int index) override;
  std::uint32_t GetCallstackCrc(int index) override;

 private:
  struct TCallback {
    TBugReportCallback callback;
    bool critical;
  };

  // reported_settings.cpp: the "Error Details" section's content; none without sections.
  std::optional<std::string> ErrorDetails();
  // report_header.cpp
  void FillHeader();
  // report_sections.cpp
  void FillSections();
  void AddThreadSection(Platform::ThreadId thread, bool failing, int innerLevel);
  void StartCompletion();
  // complete_report.cpp
  bool Aborted() const { return abortCompleteThread_.load(); }
  void UpdateSection(const std::string& title, const std::string& content);
  std::string TraceThread(std::size_t index, std::vector<std::string>& debugInfos);
  void RunCompletion();
  // The completion thread's work: the completion, then the object's deletion when its last
  // reference went meanwhile.
  void RunCompletionThread();
  void WaitForCompletion(std::int32_t timeoutMilliseconds);
  // please_wait_box.cpp: shown when "PlWaitBox" is on, on the calling thread.
  void ShowPleaseWaitBox();
  void ClosePleaseWaitBox();
  std::shared_ptr<UI::IProgressAlert> PleaseWaitBox();
  bool CompletionOnOtherThread();
  // Waits for the completion thread while the box stays responsive.
  void AwaitCompletionWithBox();
  // bug_report_text.cpp
  std::string ComposeText();

  void Announce();
  std::vector<TCallback> CallbacksCopy();

  TExceptionRequest request_;
  std::shared_ptr<Settings::IModuleSettings> settings_;
  std::mutex overridesLock_;
  Settings::SettingsModule overrides_;  // values set on this exception only

  Settings::TLocalTime time_;
  std::atomic<TExceptPhase> phase_{epNotHandledYet};
  std::atomic<bool> canContinue_{false};
  TFilterResult filter_;
  std::vector<std::string> classNames_;
  std::string exceptClass_;
  std::string exceptMessage_;
  bool isException_ = false;
  bool extException_ = false;

  std::mutex stateLock_;  // inner exceptions, thread stacks, field list creation
  std::vector<TInnerException> inner_;
  std::vector<TThreadStack> threadStacks_;
  std::shared_ptr<Settings::TFieldList> header_;
  std::shared_ptr<Settings::TFieldList> sections_;
  bool headerFilled_ = false;
  bool sectionsFilled_ = false;
  std::array<std::uint32_t, 3> callstackCrc_{};
  Report::TFieldPairs pendingSections_;  // collected by FillSections before they are stored

  TReportCache cache_;  // the composed text and the change counter (FSection)
  std::atomic<bool> complete_{false};
  std::atomic<int> updating_{0};
  std::atomic<bool> dirty_{false};
  std::vector<TCallback> callbacks_;  // guarded by the process-wide callback lock

  std::mutex completionLock_;
  std::condition_variable completionDone_;
  std::thread completeThread_;
  bool completionRunning_ = false;
  bool completionStarted_ = false;
  std::atomic<bool> abortCompleteThread_{false};
  std::atomic<bool> dontCompleteYet_{false};
  std::atomic<bool> multiThreadedComplete_{false};

  std::atomic<bool> mailWasSent_{false};
  std::atomic<bool> mailWasSaved_{false};
  std::atomic<std::int32_t> firstCompleteCallback_{-1};
  std::atomic<std::int32_t> firstAutoSave_{-1};
  std::once_flag dumpWritten_;
  std::string dumpFile_;
  std::thread sendThread_;
  std::shared_ptr<UI::IProgressAlert> progressAlert_;  // the please-wait box while shown
};

// The process-wide "exception number": 1 for the first header filled.
std::uint64_t NextExceptionNumber();

}  // namespace Reporter::Core
