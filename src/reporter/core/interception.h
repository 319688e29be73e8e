#pragma once

#include <exception>
#include <string>

#include "platform/fault_hooks.h"
#include "platform/thread_hooks.h"

// Where exceptions that nothing handled reach the reporter: processor faults and aborts
// through the platform's fault hook, exceptions that leave a thread function or a noexcept
// boundary through std::terminate, and the start and end of every thread through the thread
// hook, which keeps the thread registry current.
namespace Reporter::Core {

// The platform's calls that put the hooks in place, and where a hook that could not be put in
// place is told; tests give ones that fail or record.
struct TInterceptionPlatform {
  bool (*InstallFaultHook)(Platform::TFaultHook hook) = &Platform::InstallFaultHook;
  bool (*InstallThreadHooks)(Platform::TThreadStartedHook started,
                             Platform::TThreadEndedHook ended) = &Platform::InstallThreadHooks;
  void (*Tell)(const std::string& line) = &TellOnStandardError;

  static void TellOnStandardError(const std::string& line);
};

// A hook that cannot be put in place costs only what it would have caught: the rest is still
// installed, the program still does its job, and one line on standard error says what is not
// reported. False when something is missing.
bool InstallInterception(const TInterceptionPlatform& platform = {});
void RemoveInterception();

// The last-chance path of an exception that escaped the main program block or a thread's
// function: reported, cannot continue on the main thread, can on any other; then the process
// ends (main thread) or only the failing thread.
[[noreturn]] void ReportEscapedException(std::exception_ptr exception);

}  // namespace Reporter::Core
