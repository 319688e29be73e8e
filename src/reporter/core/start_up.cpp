#include "reporter/core/start_up.h"

#include "platform/return_addresses.h"
#include "reporter/core/thread_registry.h"
#include "rtl/exceptions.h"

namespace Reporter::Core {

void InstallRaiseStackCapture() {
  RTL::SetStackCapture(&Platform::CaptureReturnAddresses);
}

void StartUpReportedExceptions() {
  InstallRaiseStackCapture();
  if (OpenThreadRegistry()) EnterMainThread();
}

}  // namespace Reporter::Core
