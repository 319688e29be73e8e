#pragma once

#include <string>
#include <string_view>

#include "reporter/report/file/bug_report_file.h"
#include "reporter/report/minidump/dump_contents.h"
#include "reporter/settings/reporter_settings.h"

// The crash dump saved beside the bug report file: the report's name with ".dmp" for its
// extension (bugreport.dmp), in the report's folder or, when that cannot be written, in the
// same fallback place as the report.
namespace Reporter::Report {

// The configured report name with its extension replaced by ".dmp" (added when it has none).
std::string DumpFileName(std::string_view reportName, Platform::PathStyle style);

// Writes the dump of this process with the failing thread's exception, from the calling
// thread: the system's writer where there is one, else the program's own. The path written
// to; empty when no dump could be written anywhere (nothing else depends on it).
std::string SaveBugReportDump(Settings::IReporterSettings& settings,
                              const Minidump::TFailingThread& failing);
std::string SaveBugReportDump(Settings::IReporterSettings& settings,
                              const Minidump::TFailingThread& failing,
                              const TReportFileContext& context);

}  // namespace Reporter::Report
