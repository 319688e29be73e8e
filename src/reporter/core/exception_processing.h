#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "reporter/core/exception_types.h"
#include "reporter/core/reported_exception.h"

// What the handling thread does with one exception: the reported exception is created, its
// report started and printed, saved and uploaded, and then the failing thread goes on or the
// process ends.
namespace Reporter::Core {

// Installs PrintToConsole, CloseProcess and RestartProcess as the reported exceptions' Show,
// CloseApplication and RestartApplication.
void InstallExceptionProcessing();

// Processes the request completely. Returns when the failing thread may go on; does not
// return when the process is ended or restarted. Never throws.
void ProcessException(TExceptionRequest request);

// The exception's message line and, when the settings show the report, an empty line and the
// complete report, on standard output.
void PrintToConsole(IReportedException& reported);

// Once per exception, when its report is complete: starts the upload in a thread of its own.
void AutoActionsCallback(bool complete, const std::string& bugReport,
                         const std::shared_ptr<IReportedException>& exceptIntf);

// Completes the report when a callback still needs it, saves it once and, when asked, waits
// for the upload.
void FinishAutoActions(IReportedException& reported, bool waitForSend);
// Writes the bug report file the first time it is asked to (AutoSave).
void AutoSaveOnce(IReportedException& reported, bool final);

// Ends the process at once with exit code 1 after writing what standard output still
// buffers; nothing else of the shutdown runs.
[[noreturn]] void CloseProcess();
// Starts the program again, handing it the exception history, and ends this process with
// exit code 2; closes it as CloseProcess when no new process could be started.
[[noreturn]] void RestartProcess();

// Whether an upload started by an exception is still running.
bool UploadRunning();
// Waits until every such upload has ended; false when one still runs after the time.
bool WaitForUploads(std::uint32_t milliseconds);

// Empties and removes the reporter's temporary folder, unless an upload still reads from it.
void ClearReporterTemporaryFolder();

}  // namespace Reporter::Core
