#pragma once

#include <functional>
#include <string>
#include <thread>

namespace Reporter::Core {

// How far one exception's report has gone out: sent, saved, its crash dump, the upload's
// thread, and the steps that must run once however many threads reach them.
class IDeliveryState {
 public:
  virtual ~IDeliveryState() = default;

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
};

}  // namespace Reporter::Core
