#pragma once

#include "platform/fault_hooks.h"
#include "platform/request_pipe.h"
#include "reporter/core/exception_types.h"

// A processor fault or an abort, reported from the faulting thread's signal handler or
// exception filter, where nothing may be allocated: the handling thread makes the request.
namespace Reporter::Core {

// The message of a fatal runtime error (an abort, a terminate), which brings none of its own.
inline constexpr const char* kRuntimeErrorMessage = "Runtime error";

// The done signals that faulting threads borrow, made before any fault can happen.
bool PrepareFaultSignals();
// Waits for a free one; safe in a signal handler.
Platform::TSignal* ClaimFaultSignal();
void ReturnFaultSignal(Platform::TSignal* signal);

// The request for the fault: its EExternal object (an abort: a substitute for the runtime's
// message), address, context and thread; it can continue on any thread but the main thread.
TExceptionRequest RequestForFault(const Platform::TFaultInfo& fault);

// On the handling thread: processes the fault's request. When this returns the faulting
// thread ends, so its entry leaves the thread registry here.
void ProcessFault(const Platform::TFaultInfo& fault);

// The hook the platform calls on the faulting thread.
void OnFault(const Platform::TFaultInfo& fault);

}  // namespace Reporter::Core
