#pragma once

#include <cstdint>

#include "platform/fault_hooks.h"
#include "platform/request_pipe.h"
#include "reporter/core/exception_types.h"

// The reporter's handling thread: every exception is handed to it through an anonymous pipe
// and processed there, one after the other, while the failing thread waits.
namespace Reporter::Core {

// One record of the pipe. A request the failing thread built, or (from a signal handler,
// where nothing may be allocated) the bare facts of a fault, which the handling thread turns
// into a request. A null done signal stops the thread.
struct TPipeRecord {
  Platform::TSignal* Done = nullptr;
  TExceptionRequest* Request = nullptr;
  const Platform::TFaultInfo* Fault = nullptr;
};

// Starts the thread: the pipe, the wake-up signal, its name in the thread registry and the
// highest priority. Returns without waiting for the thread to run: what is handed over before
// waits in the pipe. The thread runs firstTask (when given) once, before it takes the first
// record, as a thread of the reporter's. False when it could not be started.
bool StartHandlingThread(void (*firstTask)() = nullptr);
// Stops it within its time limits: 500 ms for the thread to end after the stop request, then
// another 50 ms after the pipe is closed; a thread that still runs is left behind.
void StopHandlingThread();
bool HandlingThreadRunning();

// A child forked from this process has no handling thread, while the pipe it would hand over
// to still leads to the parent's: the child forgets both and reports nothing, and its
// failures take the course they would take without the reporter. Safe right after fork.
void ForgetHandlingThreadInChild();
bool HandlingThreadForgotten();

// Hands the record to the thread and waits until it is processed. False when it could not
// be handed over (the exception then counts as reported). Safe in a signal handler.
bool HandOver(const TPipeRecord& record);

}  // namespace Reporter::Core
