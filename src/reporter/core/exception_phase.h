#pragma once

#include "reporter/core/exception_types.h"

namespace Reporter::Core {

// Where the processing of one exception stands and the ways it can take from there.
class IExceptionPhase {
 public:
  virtual ~IExceptionPhase() = default;

  virtual TExceptPhase GetPhase() = 0;
  virtual void SetPhase(TExceptPhase phase) = 0;
  virtual bool GetCanContinue() = 0;
  virtual void SetCanContinue(bool value) = 0;
  // Calls the exception handlers of the phase (none are registered in this program).
  virtual void FireHandlers(TExceptPhase phase, bool& handled) = 0;
  // The presentation and the ways on, as the exception processing installs them.
  virtual void Show() = 0;
  virtual void ContinueApplication() = 0;
  virtual void RestartApplication() = 0;
  virtual void CloseApplication() = 0;
};

}  // namespace Reporter::Core
