#include "reporter/core/report_exception.h"

#include <memory>

#include "platform/loader_lock.h"
#include "platform/request_pipe.h"
#include "reporter/core/exception_processing.h"
#include "reporter/core/handling_thread.h"
#include "reporter/core/reported_exception.h"
#include "reporter/core/reporter_threads.h"
#include "rtl/class_names.h"
#include "rtl/exceptions.h"

namespace Reporter::Core {
namespace {

bool IsAbort(const std::exception_ptr& object) {
  return dynamic_cast<const RTL::EAbort*>(RTL::AsException(object)) != nullptr;
}

// The context's registers describe the exception when its address lies at the instruction
// or just behind it (a call's return address).
bool ContextMatches(const TExceptionRequest& request) {
  if (!request.Context || request.ExceptAddr == 0) return false;
  const auto ip = static_cast<Address>(request.Context->Ip);
  return request.ExceptAddr >= ip && request.ExceptAddr - ip <= 4;
}

// Gives the reserve back for as long as the report runs.
class TReserveReleased {
 public:
  TReserveReleased() { OutOfMemoryReserve().Release(); }
  ~TReserveReleased() { OutOfMemoryReserve().Reserve(); }
};

}  // namespace

Platform::TMemoryReserve& OutOfMemoryReserve() {
  static Platform::TMemoryReserve reserve;
  return reserve;
}

void ReportException(TExceptionRequest request) {
  const Platform::ThreadId self = Platform::CurrentThreadId();
  // A forked child reports nothing: the handling thread it would hand over to is its parent's.
  if (HandlingThreadForgotten()) return;
  // The reporter's own threads are not reported: the handling thread may be waiting for the
  // very thread that failed.
  if ((HandlingThreadId() != 0 && self == HandlingThreadId()) || IsReporterThread(self)) return;
  const TReserveReleased released;

  if (!request.ExceptObject) request.ExceptObject = std::current_exception();
  CompleteRequestFromObject(request);
  if (IsAbort(request.ExceptObject)) {
    if (!request.CanContinue) CloseProcess();
    return;
  }

  if (request.StackPointer == 0) {
    int marker = 0;
    request.StackPointer = reinterpret_cast<Address>(&marker);
    request.FramePointer = reinterpret_cast<Address>(__builtin_frame_address(0));
  }
  if (ContextMatches(request)) {
    request.StackPointer = static_cast<Address>(request.Context->Sp);
    request.FramePointer = static_cast<Address>(request.Context->Bp);
  }
  request.ThreadId = self;

  // Inside the module loader's lock no other thread can be waited for.
  if (!HandlingThreadRunning() || Platform::LoaderLockHeld()) {
    ProcessException(std::move(request));
    return;
  }
  const std::unique_ptr<Platform::TSignal> done = Platform::TSignal::Create();
  if (!done) return;
  TPipeRecord record;
  record.Done = done.get();
  record.Request = &request;
  HandOver(record);
}

}  // namespace Reporter::Core
