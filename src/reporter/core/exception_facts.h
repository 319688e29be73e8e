#pragma once

#include <exception>
#include <string>
#include <vector>

#include "reporter/core/exception_types.h"
#include "reporter/settings/placeholders.h"
#include "reporter/settings/settings_keys.h"

namespace Reporter::Core {

// What is known of one exception from the moment it is reported: what was raised, where and
// when, and what the class filter decided for it. Nothing here changes while it is processed.
class IExceptionFacts {
 public:
  virtual ~IExceptionFacts() = default;

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

  // The chained inner exceptions, outermost first.
  virtual std::vector<TInnerException> GetInner() = 0;
};

}  // namespace Reporter::Core
