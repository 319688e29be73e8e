#pragma once

#include <sys/types.h>

#include "platform/posix/program_lookup.h"

namespace Platform::Posix {

// Runs the program with this process's environment and current folder and only the standard
// descriptors; standardInput and standardOutput >= 0 replace its standard input and output. A
// detached program runs as a grandchild in a session of its own, so that it outlives this process
// and leaves no zombie, with its standard streams on the null device. Returns the child's pid once
// the program runs (for a detached one the intermediate child, which ends at once), or -1 when it
// could not be started. The caller reaps the pid.
pid_t StartChild(const ResolvedCommand& command, bool detached, int standardInput = -1,
                 int standardOutput = -1);

// Waits for the child's end; its exit code, 128 + the signal that ended it, or -1.
int WaitForChild(pid_t child);

}  // namespace Platform::Posix
