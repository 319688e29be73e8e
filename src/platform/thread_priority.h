#pragma once

// Thread priorities of this process, for the reporter's helper threads.
namespace Platform {

// Raises the calling thread above normal priority; false when the system does not allow it
// (POSIX without the right to raise it).
bool RaiseCurrentThreadPriority();

}  // namespace Platform
