#pragma once

#include <cstdint>
#include <string>

#include "platform/threads.h"

// A tool outside a running process asks it for a report of all its threads. The process runs
// its exported entry OrloTraceProcess(limit) on a thread of its own; the entry writes the text
// (UTF-8) into a shared block the tool made, cut to limit - 1 bytes and a zero byte, or puts
// it on the clipboard when limit is below 1. Windows starts a remote thread at the export and
// shares a named file mapping; POSIX asks with a real-time signal that carries the limit and
// shares a POSIX shared-memory object named after the process.
namespace Platform {

// Builds the text; runs on the entry's thread.
using TTraceTextSource = std::string (*)(std::int32_t limit);

// Makes the process take trace requests with the source's text. False when the process
// cannot (POSIX: the request signal could not be caught).
[[nodiscard]] bool InstallTraceEntry(TTraceTextSource source);
void RemoveTraceEntry();

// Starts the thread that answers the requests taken so far and from then on (POSIX), off the
// path of the program's start; requests that come before it wait for it. Nothing to start
// where the requesting tool starts the entry's thread (Windows). Started from one of the
// reporter's threads, it is the reporter's own, left out of reports. False when it could not.
[[nodiscard]] bool StartTraceListener();

enum class TTraceOutcome {
  Answered,
  Unreachable,   // no such process, or not this user's to ask
  NotListening,  // it has installed no trace entry (POSIX then sends nothing: it would end it)
  NoAnswer,      // asked, but no text came in time
};

struct TTraceAnswer {
  TTraceOutcome Outcome = TTraceOutcome::Unreachable;
  std::string Text;  // when answered
};

// Asks the process for its text and waits for it at most timeoutMilliseconds. POSIX asks only
// a process that catches the request signal (/proc/<pid>/status), since the signal's default
// action ends a process; Windows only one that exports the entry and has installed it.
[[nodiscard]] TTraceAnswer RequestTrace(std::uint32_t processId, std::int32_t limit,
                                        std::uint32_t timeoutMilliseconds);

}  // namespace Platform
