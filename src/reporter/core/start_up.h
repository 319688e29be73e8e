#pragma once

// What the reporter's start-up does for the reported exceptions, before the program's code runs.
namespace Reporter::Core {

// Exceptions of the program remember the return addresses and the processor state at their
// raise from now on.
void InstallRaiseStackCapture();

// Opens the thread registry, enters the calling thread as "main thread" and installs the
// raise-time capture.
void StartUpReportedExceptions();

}  // namespace Reporter::Core
