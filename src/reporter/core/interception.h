#pragma once

#include <exception>

// Where exceptions that nothing handled reach the reporter: processor faults and aborts
// through the platform's fault hook, exceptions that leave a thread function or a noexcept
// boundary through std::terminate, and the start and end of every thread through the thread
// hook, which keeps the thread registry current.
namespace Reporter::Core {

void InstallInterception();
void RemoveInterception();

// The last-chance path of an exception that escaped the main program block or a thread's
// function: reported, cannot continue on the main thread, can on any other; then the process
// ends (main thread) or only the failing thread.
[[noreturn]] void ReportEscapedException(std::exception_ptr exception);

}  // namespace Reporter::Core
