#pragma once

#include "platform/memory_reserve.h"
#include "reporter/core/exception_types.h"

// The one entry through which every interception point reports an exception.
namespace Reporter::Core {

// Hands the request to the handling thread and waits until it is processed; returns when the
// failing thread may go on and not at all when the process ends. What the request leaves
// open is taken from the thread's current exception and the caller's registers. An EAbort is
// never reported: it ends the process when the thread cannot go on, and returns otherwise.
// On the handling thread itself it returns at once.
void ReportException(TExceptionRequest request);

// Room given back to the system while an exception is reported.
Platform::TMemoryReserve& OutOfMemoryReserve();

}  // namespace Reporter::Core
