#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "reporter/core/exception_types.h"
#include "reporter/settings/placeholders.h"
#include "reporter/settings/reporter_settings.h"

// The reporter's object for one exception: its facts, the decisions taken for it (settings and
// class filter), its bug report, its callbacks and the state of its processing. It is a
// settings object of its own: its accessors read the module's settings unless the object
// has overridden a value for this exception only.
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

class IReportedException;

// Called with the current report after each change; complete tells whether every section is
// final.
using TBugReportCallback = void (*)(bool complete, const std::string& bugReport,
                                    const std::shared_ptr<IReportedException>& exceptIntf);

class IReportedException : public Settings::IReporterSettings, public Settings::IReportUpdates {
 public:
  virtual std::shared_ptr<Settings::IModuleSettings> ModuleSettings() = 0;

  virtual TExceptPhase GetPhase() = 0;
  virtual void SetPhase(TExceptPhase phase) = 0;
  virtual bool GetCanContinue() = 0;
  virtual void SetCanContinue(bool value) = 0;
  virtual TExceptType GetExceptType() = 0;
  virtual std::exception_ptr GetExceptObject() = 0;
  // "Unknown" when the object is no class object.
  virtual std::string GetExceptClass() = 0;
  // Normalised: see NormalizeExceptMessage.
  virtual std::string GetExceptMessage() = 0;
  virtual Address GetExceptAddr() = 0;
  virtual Platform::ThreadId GetCrashedThreadId() = 0;
  virtual TExceptSource GetSource() = 0;
  virtual const Platform::TThreadContext* GetContext() = 0;
  virtual Settings::TLocalTime GetTime() = 0;

  // The class filter's decisions.
  virtual bool GetCreateBugReport() = 0;
  virtual bool GetCreateScreenShot() = 0;
  virtual bool GetCallHandlers() = 0;
  virtual Settings::TShowSetting GetShowSetting() = 0;
  virtual std::string GetShowAssistant() = 0;

  // Calls the exception handlers of the phase (none are registered in this program).
  virtual void FireHandlers(TExceptPhase phase, bool& handled) = 0;
  // The presentation and the ways on, as the exception processing installs them.
  virtual void Show() = 0;
  virtual void ContinueApplication() = 0;
  virtual void RestartApplication() = 0;
  virtual void CloseApplication() = 0;

  // A new callback is appended and called at once with the current report; one already
  // listed only gets the new critical flag.
  virtual void RegisterBugReportCallback(TBugReportCallback callback, bool critical) = 0;
  virtual void UnregisterBugReportCallback(TBugReportCallback callback) = 0;
  virtual bool CriticalBugReportCallbackExists() = 0;

  virtual bool GetMailWasSent() = 0;
  virtual void SetMailWasSent(bool value) = 0;
  virtual bool GetMailWasSaved() = 0;
  virtual void SetMailWasSaved(bool value) = 0;
  // True exactly once per object, whichever thread asks first.
  virtual bool FirstCompleteCallback() = 0;
  virtual bool FirstAutoSave() = 0;
  // The crash dump's path: the first caller writes it, a concurrent one waits for that and
  // later ones get the same path ("" when no dump was written).
  virtual std::string DumpFileOnce(const std::function<std::string()>& write) = 0;
  // The automatic upload's thread.
  virtual std::thread& PSendThread() = 0;
  virtual void SetInner(std::vector<TInnerException> inner) = 0;
  virtual std::vector<TInnerException> GetInner() = 0;

  // The report.
  virtual std::shared_ptr<Settings::IFieldList> GetBugReportHeader() = 0;
  virtual std::shared_ptr<Settings::IFieldList> GetBugReportSections() = 0;
  // timeoutMilliseconds < 0 waits without limit.
  virtual std::string GetBugReport(bool mustBeComplete, std::int32_t timeoutMilliseconds) = 0;
  std::string GetBugReport_() { return GetBugReport(true, -1); }
  virtual void SetBugReport(const std::string& text) = 0;
  virtual bool GetComplete() = 0;
  // Complete the report on the calling thread when it is first needed complete, instead of
  // starting the completion thread.
  virtual void SetDontCompleteYet(bool value) = 0;
  virtual void CompleteBugReport() = 0;
  virtual std::thread::id GetCompleteThreadId() = 0;
  // tid of the index-th thread section; 0 beyond the end.
  virtual Platform::ThreadId GetThreadId(int index) = 0;
  virtual Tracer::TStackTrace GetCallstack(int index) = 0;
  // Elements 0..2 of the "callstack crc" values; 0 for other indexes.
  virtual std::uint32_t GetCallstackCrc(int index) = 0;
};

// What the exception processing installs for Show and the ways on; empty ones do nothing.
struct TExceptionActions {
  void (*Show)(IReportedException&) = nullptr;
  void (*ContinueApplication)(IReportedException&) = nullptr;
  void (*RestartApplication)(IReportedException&) = nullptr;
  void (*CloseApplication)(IReportedException&) = nullptr;
};
void SetExceptionActions(const TExceptionActions& actions);

// The reporter's handling thread: a report asked for there starts the completion thread.
void SetHandlingThreadId(Platform::ThreadId thread);
Platform::ThreadId HandlingThreadId();

// The object for one request: the settings of the module holding the exception address (or
// the given ones), the request's facts, the class filter's decisions and the inner
// exceptions. Never throws.
std::shared_ptr<IReportedException> CreateReportedException(
    TExceptionRequest request, std::shared_ptr<Settings::IModuleSettings> settings = nullptr);

}  // namespace Reporter::Core
