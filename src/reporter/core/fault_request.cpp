#include "reporter/core/fault_request.h"

#include <array>
#include <atomic>
#include <memory>

#include "platform/process.h"
#include "reporter/core/exception_processing.h"
#include "reporter/core/handling_thread.h"
#include "reporter/core/report_exception.h"
#include "reporter/core/reporter_threads.h"
#include "reporter/core/thread_registry.h"
#include "rtl/exceptions.h"
#include "rtl/os_exceptions.h"

namespace Reporter::Core {
namespace {

constexpr std::size_t kFaultSignals = 8;
std::array<std::unique_ptr<Platform::TSignal>, kFaultSignals> gSignals;
std::array<std::atomic<bool>, kFaultSignals> gSignalBusy{};

std::uint32_t FaultCodeOf(const Platform::TFaultInfo& fault) {
  using Platform::TFaultKind;
  namespace Code = RTL::FaultCode;
  switch (fault.Kind) {
    case TFaultKind::AccessViolation:
      return Code::kAccessViolation;
    case TFaultKind::StackOverflow:
      return Code::kStackOverflow;
    case TFaultKind::IntDivideByZero:
      return Code::kIntDivideByZero;
    case TFaultKind::IntOverflow:
      return Code::kIntOverflow;
    case TFaultKind::FloatDivideByZero:
      return Code::kFltDivideByZero;
    case TFaultKind::FloatOverflow:
      return Code::kFltOverflow;
    case TFaultKind::FloatUnderflow:
      return Code::kFltUnderflow;
    case TFaultKind::FloatInexact:
      return Code::kFltInexactResult;
    case TFaultKind::FloatInvalidOperation:
      return Code::kFltInvalidOperation;
    case TFaultKind::IllegalInstruction:
      return Code::kIllegalInstruction;
    case TFaultKind::PrivilegedInstruction:
      return Code::kPrivilegedInstruction;
    case TFaultKind::Abort:
    case TFaultKind::Other:
      break;
  }
  return fault.Code;
}

RTL::TAccessKind AccessOf(Platform::TFaultAccess access) {
  switch (access) {
    case Platform::TFaultAccess::Write:
      return RTL::TAccessKind::Write;
    case Platform::TFaultAccess::Execute:
      return RTL::TAccessKind::Execute;
    default:
      return RTL::TAccessKind::Read;
  }
}

}  // namespace

bool PrepareFaultSignals() {
  for (auto& signal : gSignals) {
    if (!signal) signal = Platform::TSignal::Create();
    if (!signal) return false;
  }
  return true;
}

Platform::TSignal* ClaimFaultSignal() {
  for (;;) {
    for (std::size_t slot = 0; slot < kFaultSignals; ++slot) {
      if (gSignals[slot] && !gSignalBusy[slot].exchange(true)) {
        gSignals[slot]->Reset();
        return gSignals[slot].get();
      }
    }
    Platform::SleepMilliseconds(1);
  }
}

void ReturnFaultSignal(Platform::TSignal* signal) {
  for (std::size_t slot = 0; slot < kFaultSignals; ++slot) {
    if (gSignals[slot].get() == signal) gSignalBusy[slot].store(false);
  }
}

TExceptionRequest RequestForFault(const Platform::TFaultInfo& fault) {
  TExceptionRequest request;
  request.ThreadId = fault.Thread;
  request.ExceptAddr = static_cast<Address>(fault.Address);
  if (fault.HasContext) {
    request.Context = fault.Context;
    request.StackPointer = static_cast<Address>(fault.Context.Sp);
    request.FramePointer = static_cast<Address>(fault.Context.Bp);
  }
  if (fault.Kind == Platform::TFaultKind::Abort) {
    // A fatal runtime error: the runtime prepared no message of its own.
    request.ExceptObject = std::make_exception_ptr(RTL::ESubstituteException(kRuntimeErrorMessage));
    request.Source = esRuntimeError;
    request.CanContinue = false;
    return request;
  }
  RTL::TFault facts;
  facts.Code = FaultCodeOf(fault);
  facts.Address = static_cast<std::uintptr_t>(fault.Address);
  facts.AccessAddress = static_cast<std::uintptr_t>(fault.DataAddress);
  facts.Access = AccessOf(fault.Access);
  facts.HasContext = fault.HasContext;
  facts.Context = fault.Context;
  request.ExceptObject = RTL::MakeExternalException(facts);
  request.Source = esExceptProc;
  request.CanContinue = fault.Thread != Platform::MainThreadId();
  return request;
}

void ProcessFault(const Platform::TFaultInfo& fault) {
  ProcessException(RequestForFault(fault));
  RemoveThread(fault.Thread);
}

void OnFault(const Platform::TFaultInfo& fault) {
  // A fault of the reporter's own threads is not reported (the handling thread may be waiting
  // for the faulting one): the system ends the process as it would without the reporter.
  if (fault.Thread == HandlingThreadId() || IsReporterThread(fault.Thread) ||
      !HandlingThreadRunning()) {
    return;
  }
  OutOfMemoryReserve().Release();
  Platform::TSignal* done = ClaimFaultSignal();
  TPipeRecord record;
  record.Done = done;
  record.Fault = &fault;
  HandOver(record);
  ReturnFaultSignal(done);
  // The main thread cannot go on after a fault; it is only back here when the report could
  // not be made, and the system then ends the process. Any other thread ends, reported or not.
  if (fault.Thread == Platform::MainThreadId()) return;
  Platform::ExitCurrentThread();
}

}  // namespace Reporter::Core
