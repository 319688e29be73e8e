#pragma once

#include <memory>
#include <vector>

#include "reporter/core/bug_report.h"
#include "reporter/core/delivery_state.h"
#include "reporter/core/exception_facts.h"
#include "reporter/core/exception_phase.h"
#include "reporter/core/exception_types.h"
#include "reporter/settings/reporter_settings.h"

// The reporter's object for one exception. Each of its jobs is an interface of its own, and a
// caller takes the narrowest one it needs: the facts of the exception (IExceptionFacts), the
// report being built (IBugReport), how far the report has gone out (IDeliveryState) and where
// the processing stands (IExceptionPhase). It is also a settings object of its own: its
// accessors read the module's settings unless the object has overridden a value for this
// exception only.
namespace Reporter::Core {

class IReportedException : public Settings::IReporterSettings,
                           public Settings::IReportUpdates,
                           public IExceptionFacts,
                           public IBugReport,
                           public IDeliveryState,
                           public IExceptionPhase {
 public:
  virtual std::shared_ptr<Settings::IModuleSettings> ModuleSettings() = 0;
  // Replaces the inner exceptions that the request brought.
  virtual void SetInner(std::vector<TInnerException> inner) = 0;
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
